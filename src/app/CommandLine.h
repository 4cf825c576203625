#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the program's parameters ask for, read once at start. One parameter names an
// examination to open once the password is typed; two, the first "_sel=<password>;", hand the
// password over and name the examination to open with it.
struct CommandLine {
    QString examinationFile;
    std::optional<QString> handoverPassword;

    static CommandLine parse(const QStringList& parameters);
};

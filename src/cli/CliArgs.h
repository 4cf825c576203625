#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The arguments of one subcommand: options that take a value ("--gcr KEY"), flags ("--json")
// and everything else in order. "--" ends the options, so a file named "-a.kvx" can be given;
// "--help" or "-h" before it asks for the subcommand's help.
struct CliArgs {
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> flags;
    bool help = false;

    bool has(const QString& flag) const { return flags.contains(flag); }
    bool given(const QString& option) const { return values.contains(option); }
    QString value(const QString& option) const { return values.value(option); }

    // False, after printing the problem on stderr, for an unknown option or a missing value.
    static bool parse(const QStringList& args, const QStringList& valueOptions, const QStringList& flagOptions,
                      CliArgs& out);
};

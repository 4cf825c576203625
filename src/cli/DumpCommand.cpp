#include "cli/CliCommands.h"
#include "core/exam/ExaminationFile.h"
#include "core/platform/UserError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int runDump(const QStringList& args) {
    if (args.size() != 1) {
        printErr(QStringLiteral("Használat: gyvkt-cli dump EXAM.kvx\n"));
        return 1;
    }
    ExaminationData data;
    try {
        data = ExaminationFile::read(args.first());
    } catch (const UserError& e) {
        printErr(args.first() + QStringLiteral(": ") + e.text() + QLatin1Char('\n'));
        return 2;
    }
    const PersonalData& pd = data.personal;
    QJsonObject root;
    root.insert(QStringLiteral("code"), pd.code);
    root.insert(QStringLiteral("name"), pd.name);
    root.insert(QStringLiteral("age"), pd.age);
    root.insert(QStringLiteral("date"), pd.date);
    root.insert(QStringLiteral("examiner"), pd.examiner);
    root.insert(QStringLiteral("sex"),
                pd.sex == PersonalData::Sex::Boy ? QStringLiteral("boy") : QStringLiteral("girl"));
    QJsonArray lines;
    for (const ScoringLine& line : data.lines) {
        QJsonArray fields;
        for (const QString& f : line.fields)
            fields.append(f);
        lines.append(fields);
    }
    root.insert(QStringLiteral("scoring_lines"), lines);
    QJsonArray answers;
    for (const QString& a : data.answers)
        answers.append(a);
    root.insert(QStringLiteral("answers"), answers);
    printOut(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    return 0;
}

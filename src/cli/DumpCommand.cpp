#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "formats/ExaminationFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

int runDump(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {}, {}, args))
        return usageError(kDumpCommand);
    if (args.help)
        return printHelp(kDumpCommand);
    if (args.positional.size() != 1)
        return usageError(kDumpCommand);
    const QString path = args.positional.first();
    ExaminationData data;
    try {
        data = ExaminationFile::read(path);
    } catch (const UserError& e) {
        printErr(path + QStringLiteral(": ") + e.text() + QLatin1Char('\n'));
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

} // namespace

const Subcommand kDumpCommand{
    "dump", "gyvkt-cli dump EXAM.kvx",
    "A vizsgálati fájl tartalma UTF-8 JSON-ként: code, name, age, date, examiner, sex (\"boy\"/\"girl\"),\n"
    "scoring_lines (24 × 4 mező), answers (24 válasz).\n",
    runDump};

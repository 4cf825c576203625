#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/EvaluationOptions.h"
#include "services/ArchiveListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString sexWord(PersonalData::Sex sex) {
    return sex == PersonalData::Sex::Boy ? QStringLiteral("fiú") : QStringLiteral("lány");
}

QJsonObject rowJson(const ArchiveRow& row) {
    QJsonObject o;
    o.insert(QStringLiteral("file"), row.fileName);
    o.insert(QStringLiteral("error"), row.malformed ? QJsonValue(row.error) : QJsonValue());
    const QStringList others{QStringLiteral("code"),   QStringLiteral("name"),       QStringLiteral("sex"),
                             QStringLiteral("age"),    QStringLiteral("date"),       QStringLiteral("examiner"),
                             QStringLiteral("scored"), QStringLiteral("gcr_points"), QStringLiteral("gcr_percent")};
    if (row.malformed) {
        for (const QString& key : others)
            o.insert(key, QJsonValue());
        return o;
    }
    const PersonalData& pd = row.personal;
    o.insert(QStringLiteral("code"), pd.code);
    o.insert(QStringLiteral("name"), pd.name);
    o.insert(QStringLiteral("sex"), pd.sex == PersonalData::Sex::Boy ? QStringLiteral("boy") : QStringLiteral("girl"));
    o.insert(QStringLiteral("age"), pd.age);
    o.insert(QStringLiteral("date"), pd.date);
    o.insert(QStringLiteral("examiner"), pd.examiner);
    o.insert(QStringLiteral("scored"), row.scored);
    o.insert(QStringLiteral("gcr_points"), row.gcrPoints);
    o.insert(QStringLiteral("gcr_percent"), row.hasGcrPercent() ? QJsonValue(row.gcrPercent) : QJsonValue());
    return o;
}

// A readable table: one line per file, columns padded to their widest cell; a malformed file's
// line carries the reader's message after its name.
QString table(const QList<ArchiveRow>& rows, QChar decimalSeparator) {
    const QStringList header{QStringLiteral("Fájl"),
                             QStringLiteral("Kód"),
                             QStringLiteral("Név"),
                             QStringLiteral("Nem"),
                             QStringLiteral("Kor"),
                             QStringLiteral("Dátum"),
                             QStringLiteral("Vizsgálatvezető"),
                             QStringLiteral("Jelölt"),
                             QStringLiteral("GCR pont"),
                             QStringLiteral("GCR %"),
                             QStringLiteral("Módosítva")};
    QList<QStringList> cells;
    for (const ArchiveRow& row : rows) {
        if (row.malformed) {
            cells.append({row.fileName});
            continue;
        }
        const PersonalData& pd = row.personal;
        QString points = QString::number(row.gcrPoints, 'f', 1);
        points.replace(QLatin1Char('.'), decimalSeparator);
        cells.append({row.fileName, pd.code, pd.name, sexWord(pd.sex), QString::number(pd.age), pd.date, pd.examiner,
                      QString::number(row.scored), points,
                      row.hasGcrPercent() ? QStringLiteral("%1 (%2)").arg(row.gcrPercent).arg(row.gcrClass)
                                          : QStringLiteral("–"),
                      row.modified.toLocalTime().toString(QStringLiteral("yyyy.MM.dd. HH:mm"))});
    }
    QList<qsizetype> widths;
    for (const QString& h : header)
        widths << h.size();
    for (const QStringList& line : std::as_const(cells)) {
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line.at(c).size());
    }
    auto format = [&](const QStringList& line) {
        QString text;
        for (qsizetype c = 0; c < line.size(); ++c)
            text += c + 1 < line.size() ? line.at(c).leftJustified(widths[c] + 2) : line.at(c);
        return text.trimmed() + QLatin1Char('\n');
    };
    QString text = format(header);
    int malformed = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const ArchiveRow& row = rows.at(r);
        if (row.malformed) {
            ++malformed;
            QString message = row.error;
            message.replace(QLatin1Char('\n'), QStringLiteral(" – "));
            text += row.fileName.leftJustified(widths[0] + 2) + QStringLiteral("HIBÁS FÁJL: ") + message +
                    QLatin1Char('\n');
        } else {
            text += format(cells.at(r));
        }
    }
    text += QStringLiteral("\n%1 vizsgálati fájl").arg(rows.size());
    if (malformed > 0)
        text += QStringLiteral(", ebből %1 hibás").arg(malformed);
    return text + QStringLiteral(".\n");
}

int runList(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, EvaluationOptions::names(), {QStringLiteral("--json")}, args))
        return usageError(kListCommand);
    if (args.help)
        return printHelp(kListCommand);
    if (args.positional.size() != 1)
        return usageError(kListCommand);
    EvaluationOptions options;
    if (const int status = options.load(args))
        return status;
    QList<ArchiveRow> rows;
    try {
        rows = ArchiveCache().list(args.positional.first(), options.key);
    } catch (const UserError& e) {
        printErr(e.text() + QLatin1Char('\n'));
        return 2;
    }
    if (args.has(QStringLiteral("--json"))) {
        QJsonArray array;
        for (const ArchiveRow& row : std::as_const(rows))
            array.append(rowJson(row));
        printOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
    } else {
        printOut(table(rows, options.decimalSeparator));
    }
    return 0;
}

} // namespace

const Subcommand kListCommand{
    "list", "gyvkt-cli list DIR [--gcr KEY.gcr] [--decimal SEP] [--json]",
    "A mappa vizsgálati fájljai (*.kvx) fájlnév szerint rendezve: kód, név, nem, életkor, dátum,\n"
    "vizsgálatvezető, a lejelölt képek száma, a GCR-pontszám, a GCR-százalék a minősítésével (\"–\", ha\n"
    "jegyzőkönyv nem készíthető: {min_marked}-nál kevesebb lejelölt kép vagy {ages} éven kívüli életkor) és a\n"
    "módosítás ideje. A hibás fájl is a listába kerül, az olvasó hibaüzenetével; egyik fájl sem változik.\n"
    "A kilépési kód hibás fájlok mellett is 0; 2, ha a mappa nem olvasható.\n"
    "\n"
    "  --json           JSON-tömb, fájlonként egy objektum: file, code, name, sex (\"boy\"/\"girl\"), age,\n"
    "                   date, examiner, scored, gcr_points, gcr_percent (null, ha jegyzőkönyv nem\n"
    "                   készíthető) és error (null, vagy a hibás fájlnál az olvasó üzenete, a többi\n"
    "                   kulcs - a file kivételével - ilyenkor null)\n",
    runList, true};

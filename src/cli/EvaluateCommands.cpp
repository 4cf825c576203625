#include "cli/CliCommands.h"
#include "core/evaluation/Evaluate.h"
#include "core/exam/ExaminationFile.h"
#include "core/marking/Coding.h"
#include "core/marking/GcrKey.h"
#include "core/platform/DataRoot.h"
#include "core/platform/UserError.h"
#include "core/report/ProtocolWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>

namespace {

struct Options {
    QStringList files;
    QString gcrKey;
    QChar decimalSeparator;
    QString output;
    bool json = false;
};

// Parses the shared options; prints the problem and returns false on a usage error.
bool parseOptions(const QStringList& args, Options& o, bool allowOutput, bool allowJson) {
    bool separatorGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto value = [&](QString& target) {
            if (i + 1 >= args.size()) {
                printErr(QStringLiteral("Hiányzik a(z) %1 kapcsoló értéke.\n").arg(a));
                return false;
            }
            target = args.at(++i);
            return true;
        };
        if (a == QLatin1String("--gcr")) {
            if (!value(o.gcrKey))
                return false;
        } else if (a == QLatin1String("--decimal")) {
            QString sep;
            if (!value(sep))
                return false;
            if (sep.size() != 1) {
                printErr(QStringLiteral("A tizedesjel egyetlen karakter legyen: %1\n").arg(sep));
                return false;
            }
            o.decimalSeparator = sep.at(0);
            separatorGiven = true;
        } else if (allowOutput && a == QLatin1String("-o")) {
            if (!value(o.output))
                return false;
        } else if (allowJson && a == QLatin1String("--json")) {
            o.json = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            printErr(QStringLiteral("Ismeretlen kapcsoló: %1\n").arg(a));
            return false;
        } else {
            o.files << a;
        }
    }
    if (o.files.isEmpty()) {
        printErr(QStringLiteral("Nincs megadva vizsgálati fájl.\n"));
        return false;
    }
    if (!separatorGiven) {
        const QString point = QLocale::system().decimalPoint();
        o.decimalSeparator = point.isEmpty() ? QLatin1Char('.') : point.at(0);
    }
    if (o.gcrKey.isEmpty())
        o.gcrKey = DataRoot::fromEnvironment().gcrKeyFile();
    return true;
}

bool loadKey(const QString& path, GcrKey& key) {
    try {
        key = GcrKey::load(path);
        return true;
    } catch (const UserError& e) {
        printErr(path + QStringLiteral(": ") + e.text() + QLatin1Char('\n'));
        return false;
    }
}

struct Evaluated {
    ExaminationData data;
    Coding coding;
    EvaluationResult result;
};

// Reads and evaluates one examination with the points the marking window would show. Prints
// the reason and returns false when the file is unusable or the age has no norms.
bool evaluateFile(const QString& path, const GcrKey& key, QChar separator, Evaluated& e) {
    try {
        e.data = ExaminationFile::read(path);
        e.coding = Coding(key, e.data.lines);
        e.result = evaluate(e.coding, e.data.personal.age, separator);
        return true;
    } catch (const UserError& error) {
        printErr(path + QStringLiteral(": ") + error.text() + QLatin1Char('\n'));
    }
    return false;
}

template <typename Array>
QJsonArray jsonArray(const Array& values) {
    QJsonArray out;
    for (const auto& v : values)
        out.append(v);
    return out;
}

QJsonObject byName(const std::array<double, 3>& values, const char* const names[3]) {
    QJsonObject out;
    for (size_t i = 0; i < 3; ++i)
        out.insert(QLatin1String(names[i]), values[i]);
    return out;
}

QJsonObject byName(const std::array<QString, 3>& values, const char* const names[3]) {
    QJsonObject out;
    for (size_t i = 0; i < 3; ++i)
        out.insert(QLatin1String(names[i]), values[i]);
    return out;
}

QJsonObject resultJson(const Evaluated& e) {
    static const char* const directions[3] = {"E", "I", "M"};
    static const char* const types[3] = {"OD", "ED", "NP"};
    const EvaluationResult& r = e.result;
    QJsonObject o;
    o.insert(QStringLiteral("code"), e.data.personal.code);
    o.insert(QStringLiteral("age"), e.data.personal.age);
    QJsonArray points;
    for (int picture = 1; picture <= kPictureCount; ++picture)
        points.append(e.coding.point(picture));
    o.insert(QStringLiteral("points"), points);
    o.insert(QStringLiteral("gcr_points"), e.coding.gcrPoints());
    o.insert(QStringLiteral("scored_picture_count"), r.scoredPictureCount);
    QJsonObject cells;
    for (size_t d = 0; d < 3; ++d)
        cells.insert(QLatin1String(directions[d]), byName(r.cellScore[d], types));
    o.insert(QStringLiteral("cell_score"), cells);
    o.insert(QStringLiteral("column_total"), byName(r.columnTotal, types));
    o.insert(QStringLiteral("row_total"), byName(r.rowTotal, directions));
    o.insert(QStringLiteral("column_percent"), byName(r.columnPercent, types));
    o.insert(QStringLiteral("row_percent"), byName(r.rowPercent, directions));
    o.insert(QStringLiteral("column_class"), byName(r.columnClass, types));
    o.insert(QStringLiteral("row_class"), byName(r.rowClass, directions));
    o.insert(QStringLiteral("gcr_percent"), r.gcrPercent);
    o.insert(QStringLiteral("gcr_class"), r.gcrClass);
    o.insert(QStringLiteral("superego_score"), jsonArray(r.superegoScore));
    o.insert(QStringLiteral("superego_percent"), jsonArray(r.superegoPercent));
    o.insert(QStringLiteral("superego_class"), jsonArray(r.superegoClass));
    QJsonArray trends;
    for (const auto& row : r.trendText)
        trends.append(jsonArray(row));
    o.insert(QStringLiteral("trend_text"), trends);
    QJsonArray top;
    for (const EvaluationResult::TopCell& cell : r.topCell)
        top.append(QJsonObject{{QStringLiteral("score"), cell.score}, {QStringLiteral("code"), cell.code}});
    o.insert(QStringLiteral("top_cell"), top);
    o.insert(QStringLiteral("total_index_text"), r.totalIndexText);
    QJsonObject rauchfleisch;
    for (char index = 'a'; index <= 'e'; ++index) {
        const std::optional<double> value = rauchfleischIndex(r, index);
        rauchfleisch.insert(QString(QLatin1Char(index)), value ? QJsonValue(*value) : QJsonValue());
    }
    o.insert(QStringLiteral("rauchfleisch"), rauchfleisch);
    return o;
}

} // namespace

int runProtocol(const QStringList& args) {
    Options o;
    if (!parseOptions(args, o, true, false)) {
        printErr(
            QStringLiteral("Használat: gyvkt-cli protocol EXAM.kvx... [--gcr KEY.gcr] [--decimal SEP] [-o OUT]\n"));
        return 1;
    }
    GcrKey key;
    if (!loadKey(o.gcrKey, key))
        return 2;

    const bool single = o.files.size() == 1;
    QDir folder = QDir::current();
    if (!single && !o.output.isEmpty()) {
        if (!QDir().mkpath(o.output)) {
            printErr(o.output + QStringLiteral(": a kimeneti mappa nem hozható létre.\n"));
            return 2;
        }
        folder = QDir(o.output);
    }

    int status = 0;
    QSet<QString> written;
    for (const QString& path : o.files) {
        Evaluated e;
        if (!evaluateFile(path, key, o.decimalSeparator, e)) {
            status = 2;
            continue;
        }
        const QString& code = e.data.personal.code;
        QString target = single ? o.output : QString();
        if (target.isEmpty()) {
            if (code.isEmpty()) {
                printErr(path + QStringLiteral(": a fájlnévből nem adódik kód, a jegyzőkönyvnek nincs neve.\n"));
                status = 2;
                continue;
            }
            // Two examinations of one code would overwrite each other's protocol.
            if (written.contains(code)) {
                printErr(path +
                         QStringLiteral(": a(z) %1 kódú jegyzőkönyv ebben a futásban már elkészült.\n").arg(code));
                status = 2;
                continue;
            }
            target = folder.filePath(code + QStringLiteral(".html"));
        }
        try {
            ProtocolWriter::writeProtocol(target, e.data.personal, e.coding, e.result, o.decimalSeparator);
            written.insert(code);
            printOut(target + QLatin1Char('\n'));
        } catch (const UserError& error) {
            printErr(path + QStringLiteral(": ") + error.text() + QLatin1Char('\n'));
            status = 2;
        }
    }
    return status;
}

int runEvaluate(const QStringList& args) {
    Options o;
    if (!parseOptions(args, o, false, true) || o.files.size() != 1 || !o.json) {
        printErr(QStringLiteral("Használat: gyvkt-cli evaluate EXAM.kvx [--gcr KEY.gcr] [--decimal SEP] --json\n"));
        return 1;
    }
    GcrKey key;
    if (!loadKey(o.gcrKey, key))
        return 2;
    Evaluated e;
    if (!evaluateFile(o.files.first(), key, o.decimalSeparator, e))
        return 2;
    printOut(QString::fromUtf8(QJsonDocument(resultJson(e)).toJson(QJsonDocument::Indented)));
    return 0;
}

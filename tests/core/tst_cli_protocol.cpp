#include "CliRun.h"
#include "TestRoot.h"
#include "formats/ExaminationFile.h"
#include "model/Evaluate.h"
#include "render/ProtocolWriter.h"
#include "tst_evaluate_example.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {} // namespace

class CliProtocolTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void evaluateJson();
    void evaluateJsonWithoutRauchfleischValue();
    void decimalSeparator_data();
    void decimalSeparator();
    void protocolOfOneExamination();
    void protocolDefaultsToCodeAndDataRootKey();
    void severalExaminationsIntoFolder();
    void refusedExaminationLeavesExistingFile();
    void unreadableKey_data();
    void unreadableKey();
    void usageErrors_data();
    void usageErrors();
    void outputOntoAnInputIsRefused_data();
    void outputOntoAnInputIsRefused();
    void unwritableOutputIsAFailure_data();
    void unwritableOutputIsAFailure();

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_key;
    QString m_exam;
    QString file(const QString& name) const { return m_root->path() + QLatin1Char('/') + name; }
};

void CliProtocolTest::init() {
    m_root = std::make_unique<TestRoot>();
    m_root->put(QStringLiteral("key.gcr"), EvalFixture::workedExampleKeyBytes());
    m_key = file(QStringLiteral("key.gcr"));
    m_exam = file(QStringLiteral("abc.kvx"));
    ExaminationFile::write(m_exam, EvalFixture::examination(EvalFixture::workedExample(), 9));
}

void CliProtocolTest::evaluateJson() {
    const CliRun r = runCli({QStringLiteral("evaluate"), m_exam, QStringLiteral("--gcr"), m_key,
                             QStringLiteral("--decimal"), QStringLiteral(","), QStringLiteral("--json")});
    QCOMPARE(r.status, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(o.value(QStringLiteral("code")).toString(), QStringLiteral("ABC"));
    QCOMPARE(o.value(QStringLiteral("gcr_points")).toDouble(), 9.5);
    const QJsonArray points = o.value(QStringLiteral("points")).toArray();
    QCOMPARE(points.size(), 24);
    for (int p = 1; p <= 24; ++p) {
        const double expected = p <= 9 ? 1.0 : p == 15 ? 0.5 : 0.0;
        QCOMPARE(points.at(p - 1).toDouble(), expected);
    }
    QCOMPARE(o.value(QStringLiteral("scored_picture_count")).toInt(), 22);
    const QJsonObject cells = o.value(QStringLiteral("cell_score")).toObject();
    QCOMPARE(cells.value(QStringLiteral("E")).toObject().value(QStringLiteral("ED")).toDouble(), 7.5);
    QCOMPARE(cells.value(QStringLiteral("M")).toObject().value(QStringLiteral("OD")).toDouble(), 4.0);
    QCOMPARE(o.value(QStringLiteral("column_total")).toObject().value(QStringLiteral("NP")).toDouble(), 5.5);
    QCOMPARE(o.value(QStringLiteral("row_total")).toObject().value(QStringLiteral("E")).toDouble(), 11.5);
    QCOMPARE(o.value(QStringLiteral("row_percent")).toObject().value(QStringLiteral("M")).toDouble(), 28.0);
    QCOMPARE(o.value(QStringLiteral("column_percent")).toObject().value(QStringLiteral("ED")).toDouble(), 50.0);
    QCOMPARE(o.value(QStringLiteral("row_class")).toObject().value(QStringLiteral("I")).toString(),
             QStringLiteral("Q1/Mdn"));
    QCOMPARE(o.value(QStringLiteral("column_class")).toObject().value(QStringLiteral("OD")).toString(),
             QStringLiteral("Mdn/Q3"));
    QCOMPARE(o.value(QStringLiteral("gcr_percent")).toInt(), 43);
    QCOMPARE(o.value(QStringLiteral("gcr_class")).toString(), QStringLiteral("normál"));
    QCOMPARE(o.value(QStringLiteral("superego_percent")).toArray(), (QJsonArray{7, 0, 7, 27, 7, 27}));
    QCOMPARE(o.value(QStringLiteral("superego_score")).toArray(), (QJsonArray{1.5, 0, 1.5, 6, 1.5, 6}));
    QCOMPARE(o.value(QStringLiteral("superego_class")).toArray().at(1).toString(), QStringLiteral("<Q1"));
    const QJsonArray trends = o.value(QStringLiteral("trend_text")).toArray();
    QCOMPARE(trends.size(), 5);
    QCOMPARE(trends.at(3).toArray(),
             (QJsonArray{QStringLiteral("nincs"), QStringLiteral("I <- -1"), QStringLiteral("0,3333 -> M")}));
    QCOMPARE(o.value(QStringLiteral("total_index_text")).toString(), QStringLiteral("NE(7,5) > MV(4) = KE(4)"));
    const QJsonArray top = o.value(QStringLiteral("top_cell")).toArray();
    QCOMPARE(top.at(1).toObject().value(QStringLiteral("code")).toString(), QStringLiteral("MV"));
    QCOMPARE(top.at(2).toObject().value(QStringLiteral("score")).toDouble(), 4.0);
    const QJsonObject rauch = o.value(QStringLiteral("rauchfleisch")).toObject();
    QCOMPARE(rauch.size(), 5);
    QVERIFY(qAbs(rauch.value(QStringLiteral("a")).toDouble() - 23.0 / 9) < 1e-12);
    QCOMPARE(rauch.value(QStringLiteral("c")).toDouble(), 2.875);
    QCOMPARE(rauch.value(QStringLiteral("e")).toDouble(), 0.375);
}

void CliProtocolTest::evaluateJsonWithoutRauchfleischValue() {
    // Only O-D E and M codes: rows I and the N-P E cell stay empty.
    const QString path = file(QStringLiteral("noi.kvx"));
    QStringList specs = EvalFixture::repeated(QStringLiteral("EV"), 10);
    specs << EvalFixture::repeated(QStringLiteral("MV"), 10);
    ExaminationFile::write(path, EvalFixture::examination(EvalFixture::linesFrom(specs), 12));
    const CliRun r =
        runCli({QStringLiteral("evaluate"), path, QStringLiteral("--gcr"), m_key, QStringLiteral("--json")});
    QCOMPARE(r.status, 0);
    const QJsonObject rauch = QJsonDocument::fromJson(r.out).object().value(QStringLiteral("rauchfleisch")).toObject();
    QVERIFY(rauch.value(QStringLiteral("a")).isNull());
    QCOMPARE(rauch.value(QStringLiteral("b")).toDouble(), 1.0);
    QVERIFY(rauch.value(QStringLiteral("c")).isNull());
    QVERIFY(rauch.value(QStringLiteral("d")).isNull());
    QVERIFY(rauch.value(QStringLiteral("e")).isNull());
}

void CliProtocolTest::decimalSeparator_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("totalIndex");
    QTest::newRow("comma given") << QStringList{QStringLiteral("--decimal"), QStringLiteral(",")}
                                 << QStringLiteral("C.UTF-8") << QStringLiteral("NE(7,5) > MV(4) = KE(4)");
    QTest::newRow("point given") << QStringList{QStringLiteral("--decimal"), QStringLiteral(".")}
                                 << QStringLiteral("hu_HU.UTF-8") << QStringLiteral("NE(7.5) > MV(4) = KE(4)");
    QTest::newRow("Hungarian locale") << QStringList() << QStringLiteral("hu_HU.UTF-8")
                                      << QStringLiteral("NE(7,5) > MV(4) = KE(4)");
    QTest::newRow("English locale") << QStringList() << QStringLiteral("en_US.UTF-8")
                                    << QStringLiteral("NE(7.5) > MV(4) = KE(4)");
}

void CliProtocolTest::decimalSeparator() {
    QFETCH(QStringList, options);
    QFETCH(QString, locale);
    QFETCH(QString, totalIndex);
#ifdef Q_OS_WIN
    if (options.isEmpty())
        QSKIP("Windows takes the decimal separator from the user's regional settings, not from LC_ALL");
#endif
    const CliRun r = runCli(QStringList{QStringLiteral("evaluate"), m_exam, QStringLiteral("--gcr"), m_key}
                                << options << QStringLiteral("--json"),
                            QString(), {QStringLiteral("LC_ALL=") + locale});
    QCOMPARE(r.status, 0);
    QCOMPARE(QJsonDocument::fromJson(r.out).object().value(QStringLiteral("total_index_text")).toString(), totalIndex);
}

void CliProtocolTest::protocolOfOneExamination() {
    const QString out = file(QStringLiteral("out/page.html"));
    QDir().mkpath(file(QStringLiteral("out")));
    const CliRun r = runCli({QStringLiteral("protocol"), m_exam, QStringLiteral("--gcr"), m_key,
                             QStringLiteral("--decimal"), QStringLiteral(","), QStringLiteral("-o"), out});
    QCOMPARE(r.status, 0);
    const QByteArray bytes = readFileBytes(out);
    QCOMPARE(bytes.count("\r\n"), 260);

    // The same page as the marking window's points and the writer give in this process.
    const Coding coding(EvalFixture::workedExampleKey(), EvalFixture::workedExample());
    PersonalData pd = EvalFixture::examination(EvalFixture::workedExample(), 9).personal;
    pd.code = QStringLiteral("ABC");
    const QChar comma = QLatin1Char(',');
    QCOMPARE(bytes, ProtocolWriter::protocolBytes(pd, coding, evaluate(coding, 9, comma), comma));
    QVERIFY(bytes.contains("<B>A vsz neve: </B>Kis &amp; &lt;P\xE9ter&gt;&nbsp;"));
    QVERIFY(bytes.contains("<TD><B>GCR sz\xE1zal\xE9k: </B>43 (norm\xE1l) </TD></TR></TABLE>\r\n"));
    QVERIFY(bytes.contains("\r\n<TD>EENI</TD>\r\n<TD></TD>\r\n<TD>EE </TD>\r\n<TD>0.5</TD>\r\n"));

    // Running it again gives the same file.
    QCOMPARE(runCli({QStringLiteral("protocol"), m_exam, QStringLiteral("--gcr"), m_key, QStringLiteral("--decimal"),
                     QStringLiteral(","), QStringLiteral("-o"), out})
                 .status,
             0);
    QCOMPARE(readFileBytes(out), bytes);
}

void CliProtocolTest::protocolDefaultsToCodeAndDataRootKey() {
    m_root->put(QStringLiteral("gy_vkt/magyar.gcr"), EvalFixture::workedExampleKeyBytes());
    QTemporaryDir work;
    const CliRun r = runCli({QStringLiteral("protocol"), m_exam}, work.path(),
                            {QStringLiteral("TAVRIX_ROOT=") + m_root->path(), QStringLiteral("LC_ALL=C.UTF-8")});
    QCOMPARE(r.status, 0);
    const QByteArray bytes = readFileBytes(work.filePath(QStringLiteral("ABC.html")));
    QCOMPARE(bytes.count("\r\n"), 260);
    QVERIFY(bytes.contains("NE(7.5) &GT; MV(4) = KE(4)"));
    QVERIFY(bytes.contains(">43 (norm\xE1l) <"));
}

void CliProtocolTest::severalExaminationsIntoFolder() {
    const QString second = file(QStringLiteral("def.kvx"));
    ExaminationFile::write(
        second, EvalFixture::examination(EvalFixture::linesFrom(EvalFixture::repeated(QStringLiteral("EV"), 20)), 13));
    const QString tooOld = file(QStringLiteral("old.kvx"));
    ExaminationFile::write(tooOld, EvalFixture::examination(EvalFixture::workedExample(), 15));
    const QString broken = file(QStringLiteral("bad.kvx"));
    m_root->put(QStringLiteral("bad.kvx"), "csak egy sor\r\n");
    const QString folder = file(QStringLiteral("protocols"));

    const CliRun r = runCli({QStringLiteral("protocol"), m_exam, tooOld, broken, second, QStringLiteral("--gcr"), m_key,
                             QStringLiteral("-o"), folder});
    QCOMPARE(r.status, 2);
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/ABC.html")));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/DEF.html")));
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/OLD.html")));
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/BAD.html")));
    const QString err = QString::fromUtf8(r.err);
    QVERIFY2(err.contains(tooOld + QStringLiteral(": Az életkor (15) kívül esik")), qPrintable(err));
    QVERIFY2(err.contains(broken + QStringLiteral(": Hibás vizsgálati fájl")), qPrintable(err));
    QVERIFY(!err.contains(m_exam));
}

void CliProtocolTest::refusedExaminationLeavesExistingFile() {
    const QString exam = file(QStringLiteral("old.kvx"));
    ExaminationFile::write(exam, EvalFixture::examination(EvalFixture::workedExample(), 6));
    const QString out = file(QStringLiteral("OLD.html"));
    m_root->put(QStringLiteral("OLD.html"), "earlier protocol");
    const CliRun r =
        runCli({QStringLiteral("protocol"), exam, QStringLiteral("--gcr"), m_key, QStringLiteral("-o"), out});
    QCOMPARE(r.status, 2);
    QCOMPARE(readFileBytes(out), QByteArray("earlier protocol"));
    const CliRun json =
        runCli({QStringLiteral("evaluate"), exam, QStringLiteral("--gcr"), m_key, QStringLiteral("--json")});
    QCOMPARE(json.status, 2);
    QVERIFY(json.out.isEmpty());
    QVERIFY(QString::fromUtf8(json.err).contains(QStringLiteral("Az életkor (6)")));
}

void CliProtocolTest::unreadableKey_data() {
    QTest::addColumn<QByteArray>("keyBytes"); // empty: no key file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("too short") << QByteArray("GCR\r\nNE,;\r\n");
    QTest::newRow("no semicolon") << EvalFixture::workedExampleKeyBytes().replace("NE,;", "NE,");
}

void CliProtocolTest::unreadableKey() {
    QFETCH(QByteArray, keyBytes);
    const QString key = file(QStringLiteral("other.gcr"));
    if (!keyBytes.isEmpty())
        m_root->put(QStringLiteral("other.gcr"), keyBytes);
    const QString out = file(QStringLiteral("ABC.html"));
    const CliRun r =
        runCli({QStringLiteral("protocol"), m_exam, QStringLiteral("--gcr"), key, QStringLiteral("-o"), out});
    QCOMPARE(r.status, 2);
    QVERIFY(QString::fromUtf8(r.err).startsWith(key + QStringLiteral(": ")));
    QVERIFY(!QFileInfo::exists(out));
    QCOMPARE(
        runCli({QStringLiteral("evaluate"), m_exam, QStringLiteral("--gcr"), key, QStringLiteral("--json")}).status, 2);
}

void CliProtocolTest::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("evaluate without --json") << QStringList{QStringLiteral("evaluate"), QStringLiteral("a.kvx")};
    QTest::newRow("evaluate two files") << QStringList{QStringLiteral("evaluate"), QStringLiteral("a.kvx"),
                                                       QStringLiteral("b.kvx"), QStringLiteral("--json")};
    QTest::newRow("long separator") << QStringList{QStringLiteral("protocol"), QStringLiteral("a.kvx"),
                                                   QStringLiteral("--decimal"), QStringLiteral(",,")};
    QTest::newRow("option without value")
        << QStringList{QStringLiteral("protocol"), QStringLiteral("a.kvx"), QStringLiteral("-o")};
    QTest::newRow("no examination") << QStringList{QStringLiteral("protocol")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("protocol"), QStringLiteral("a.kvx"),
                                                   QStringLiteral("--json")};
}

void CliProtocolTest::usageErrors() {
    QFETCH(QStringList, args);
    const CliRun r = runCli(args);
    QCOMPARE(r.status, 1);
    QVERIFY(!r.err.isEmpty());
}

QTEST_GUILESS_MAIN(CliProtocolTest)
#include "tst_cli_protocol.moc"

void CliProtocolTest::outputOntoAnInputIsRefused_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("pdf");
    for (const bool pdf : {false, true}) {
        for (const char* how : {"same", "symlink", "hardlink", "key"})
            QTest::addRow("%s%s", how, pdf ? " pdf" : "") << QString::fromLatin1(how) << pdf;
    }
}

void CliProtocolTest::outputOntoAnInputIsRefused() {
    QFETCH(QString, how);
    QFETCH(bool, pdf);
    const QByteArray exam = readFileBytes(m_exam);
    const QByteArray key = readFileBytes(m_key);
    QString out = m_exam;
    if (how != QLatin1String("same")) {
        out = file(QStringLiteral("out.html"));
        const QString from = how == QLatin1String("key") ? m_key : m_exam;
#ifdef Q_OS_WIN
        // The key through a hard link here.
        if (how == QLatin1String("symlink"))
            QSKIP("Windows makes no symbolic links without an administrator's right");
        QVERIFY(CreateHardLinkW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(out).utf16()),
                                reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(from).utf16()), nullptr));
#else
        QCOMPARE(how == QLatin1String("hardlink")
                     ? ::link(QFile::encodeName(from).constData(), QFile::encodeName(out).constData())
                     : ::symlink(QFile::encodeName(from).constData(), QFile::encodeName(out).constData()),
                 0);
#endif
    }
    QStringList args{QStringLiteral("protocol"), m_exam, QStringLiteral("--gcr"), m_key, QStringLiteral("-o"), out};
    if (pdf)
        args << QStringLiteral("--pdf");
    const CliRun r = runCli(args);
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains("nem írhatja felül"), r.err.constData());
    QCOMPARE(readFileBytes(m_exam), exam);
    QCOMPARE(readFileBytes(m_key), key);
}

void CliProtocolTest::unwritableOutputIsAFailure_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("closedPipe"); // else a full disk
    QTest::newRow("dump") << QStringList{QStringLiteral("dump"), QStringLiteral("abc.kvx")} << false;
    QTest::newRow("dump into a closed pipe") << QStringList{QStringLiteral("dump"), QStringLiteral("abc.kvx")} << true;
    QTest::newRow("evaluate --json") << QStringList{QStringLiteral("evaluate"), QStringLiteral("abc.kvx"),
                                                    QStringLiteral("--gcr"), QStringLiteral("key.gcr"),
                                                    QStringLiteral("--json")}
                                     << false;
    QTest::newRow("list --json") << QStringList{QStringLiteral("list"), QStringLiteral("."), QStringLiteral("--gcr"),
                                                QStringLiteral("key.gcr"), QStringLiteral("--json")}
                                 << false;
    QTest::newRow("norms") << QStringList{QStringLiteral("norms"), QStringLiteral("abc.kvx"), QStringLiteral("--gcr"),
                                          QStringLiteral("key.gcr")}
                           << false;
    QTest::newRow("agreement") << QStringList{QStringLiteral("agreement"), QStringLiteral("abc.kvx"),
                                              QStringLiteral("abc.kvx")}
                               << false;
}

void CliProtocolTest::unwritableOutputIsAFailure() {
#ifdef Q_OS_WIN
    QSKIP("Windows has no full device to write into");
#else
    QFETCH(QStringList, args);
    QFETCH(bool, closedPipe);
    QProcess p;
    p.setWorkingDirectory(m_root->path());
    int fds[2] = {-1, -1};
    if (closedPipe) {
        // A reader that has gone before anything was written, as `| head -c0` leaves it.
        QCOMPARE(::pipe(fds), 0);
        ::close(fds[0]);
        p.setChildProcessModifier([out = fds[1]] {
            ::signal(SIGPIPE, SIG_DFL);
            ::dup2(out, STDOUT_FILENO);
        });
    } else {
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
    }
    p.start(QStringLiteral(GYVKT_CLI_PATH), args);
    QVERIFY(p.waitForFinished(60000));
    if (closedPipe)
        ::close(fds[1]);
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("A kimenet nem írható ki"));
#endif
}

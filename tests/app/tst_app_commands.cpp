// The examination commands driven without windows: the scripted platform answers the dialogs
// and records every message, a recording stand-in takes the windows' part.
#include "ScriptedPlatform.h"
#include "TestRoot.h"
#include "app/Commands.h"
#include "app/ExamSession.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/PasswordStore.h"
#include "formats/WorkingFolder.h"
#include "model/GcrKey.h"
#include "model/ProtocolGate.h"
#include "model/ScoringLine.h"
#include "services/EvaluatedExamination.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

namespace {

class RecordingWindows : public CommandWindows {
public:
    bool personalDataShown() const override { return false; }
    void showPersonalData() override {}
    void showTooFewMarked(int marked) override { tooFew.append(marked); }
    void showProtocol(const ProtocolDocument&) override {}
    QList<int> tooFew;
};

struct App {
    TestRoot testRoot;
    ExamSession session{testRoot.root()};
    ScriptedPlatform platform;
    RecordingWindows windows;
    Commands commands{session, platform, windows};

    App() {
        // Drawing needs a QGuiApplication, which this test does without.
        commands.setChartWriter([](const QString& path, const PersonalData&, const EvaluationResult&, QChar) {
            TextFile::writeBytes(path, QByteArrayLiteral("chart"));
        });
        testRoot.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
        testRoot.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
        session.loadKey();
        session.setCode(QStringLiteral("KAPU"));
    }
    void mark(int count) {
        ScoringLine line;
        line.field(1) = QStringLiteral("EV");
        for (int n = 1; n <= count; ++n)
            session.grid().setScoringLine(n, line);
    }
};

} // namespace

class TestAppCommands : public QObject {
    Q_OBJECT
private slots:
    // Catches a gate that counts from the wrong side of 18 or of 7..14, or a command that writes
    // a protocol the gate refused.
    void protocolGate_data() {
        QTest::addColumn<int>("marked");
        QTest::addColumn<int>("age");
        QTest::addColumn<int>("refusal");
        QTest::newRow("17 marked") << 17 << 10 << int(ProtocolRefusal::TooFewMarked);
        QTest::newRow("18 marked") << 18 << 10 << int(ProtocolRefusal::None);
        QTest::newRow("both wrong: pictures first") << 3 << 15 << int(ProtocolRefusal::TooFewMarked);
        QTest::newRow("age 6") << 24 << 6 << int(ProtocolRefusal::AgeOutsideNorms);
        QTest::newRow("age 7") << 24 << 7 << int(ProtocolRefusal::None);
        QTest::newRow("age 14") << 24 << 14 << int(ProtocolRefusal::None);
        QTest::newRow("age 15") << 24 << 15 << int(ProtocolRefusal::AgeOutsideNorms);
    }
    void protocolGate() {
        QFETCH(int, marked);
        QFETCH(int, age);
        QFETCH(int, refusal);
        App app;
        app.mark(marked);
        app.session.setAge(age);
        QCOMPARE(int(ProtocolGate::refusal(app.session.coding(), age)), refusal);

        app.commands.finishedProtocol();
        const QString protocol = app.session.root().protocolFile(QStringLiteral("KAPU"));
        switch (ProtocolRefusal(refusal)) {
        case ProtocolRefusal::TooFewMarked:
            QCOMPARE(app.windows.tooFew, QList<int>{marked});
            QVERIFY(app.platform.messages.isEmpty());
            QVERIFY(!QFileInfo::exists(protocol));
            break;
        case ProtocolRefusal::AgeOutsideNorms:
            QCOMPARE(app.platform.messages, QStringList{ProtocolGate::ageOutsideNormsText(age)});
            QVERIFY(!QFileInfo::exists(protocol));
            break;
        case ProtocolRefusal::None:
            QVERIFY(app.windows.tooFew.isEmpty());
            QVERIFY(app.platform.messages.isEmpty());
            QCOMPARE(app.platform.openedDocuments, QStringList{protocol});
            break;
        }
    }

    // Catches a change that is put in force without reaching the store, or stored after a
    // failed test.
    void passwordChange_data() {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("six digits") << QStringLiteral("123456") << QStringLiteral("654321") << QStringLiteral("654321")
                                    << true;
        QTest::newRow("nine digits") << QStringLiteral("123456") << QStringLiteral("987654321")
                                     << QStringLiteral("987654321") << true;
        QTest::newRow("wrong old") << QStringLiteral("111111") << QStringLiteral("654321") << QStringLiteral("654321")
                                   << false;
        QTest::newRow("confirmation") << QStringLiteral("123456") << QStringLiteral("654321")
                                      << QStringLiteral("654320") << false;
    }
    void passwordChange() {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(bool, accepted);
        App app;
        app.commands.readStoredPassword();
        const QByteArray before = app.testRoot.get(QStringLiteral("gy_vkt/standard.dat"));
        QCOMPARE(app.commands.changePassword(oldPassword, newPassword, confirmation), accepted);
        QVERIFY(app.platform.messages.isEmpty());
        const QString inForce = accepted ? newPassword : PasswordStore::defaultPassword();
        QCOMPARE(app.session.programPassword(), inForce);
        const QStringList lines = TextFile::readLines(app.session.root().passwordStore());
        QCOMPARE(PasswordStore::passwordFromLines(lines), std::optional<QString>(inForce));
        if (!accepted)
            QCOMPARE(app.testRoot.get(QStringLiteral("gy_vkt/standard.dat")), before);
        // Every other line of the installation's store survives the change.
        QCOMPARE(lines.size(), TextFile::splitLines(QString::fromLatin1(before)).size());
    }

    // Catches a password put in force although the store could not take it.
    void passwordChangeThatCannotBeStored() {
        App app;
        app.commands.readStoredPassword();
        const QString store = app.session.root().passwordStore();
        QVERIFY(QFile::remove(store));
        QVERIFY(QDir().mkpath(store));
        QVERIFY(
            !app.commands.changePassword(QStringLiteral("123456"), QStringLiteral("777777"), QStringLiteral("777777")));
        QCOMPARE(app.platform.messages.size(), 1);
        QVERIFY(app.platform.messages.first().startsWith(QStringLiteral("Cannot create file ") +
                                                         QDir::toNativeSeparators(store)));
        QCOMPARE(app.session.programPassword(), PasswordStore::defaultPassword());
    }

    // Catches a setter that announces nothing (the profile would not repaint) or announces an
    // unchanged value (it would repaint for nothing).
    void personalSettersAnnounceRealChanges() {
        App app;
        QSignalSpy changed(&app.session, &ExamSession::personalDataChanged);
        app.session.setName(QStringLiteral("Kis Ádám"));
        app.session.setName(QStringLiteral("Kis Ádám"));
        QCOMPARE(changed.count(), 1);
        app.session.setAge(app.session.personal().age);
        app.session.setSex(app.session.personal().sex);
        app.session.setCode(app.session.personal().code);
        QCOMPARE(changed.count(), 1);
        app.session.setAge(12);
        app.session.setSex(PersonalData::Sex::Girl);
        app.session.setDate(QStringLiteral("2007.03.05"));
        app.session.setExaminer(QStringLiteral("Dr. Vizsgáló"));
        app.session.setCode(QStringLiteral("MAS"));
        QCOMPARE(changed.count(), 6);
        QCOMPARE(app.session.personal().age, 12);
        QCOMPARE(app.session.personal().examiner, QStringLiteral("Dr. Vizsgáló"));
    }

    // Catches a session that keeps the key from before or swallows an unreadable key file.
    void sessionLoadsItsKey() {
        App app;
        QVERIFY(!(app.session.key() == GcrKey()));
        QVERIFY(QFile::remove(app.session.root().gcrKeyFile()));
        QVERIFY_THROWS_EXCEPTION(UserError, app.session.loadKey());
    }

    // Catches the archive's protocol reading a file under another key than the session's.
    void protocolOfAnArchivedFileUsesTheSessionKey() {
        App app;
        app.session.startNewExamination();
        app.mark(20);
        app.session.setAge(9);
        const QString path = app.session.root().archiveFolder() + QStringLiteral("/KAPU.kvx");
        TextFile::writeBytes(path, ExaminationFile::serialize(app.session.collect()));
        const EvaluatedExamination examination = EvaluatedExamination::read(path, app.session.key());
        QCOMPARE(examination.refusal, ProtocolRefusal::None);
        QCOMPARE(examination.result->gcrPercent, app.session.evaluate().gcrPercent);
        app.commands.showProtocolOf(path);
        QVERIFY(app.platform.messages.isEmpty());
        QCOMPARE(app.platform.openedDocuments.size(), 1);
    }
    // Catches a save dialog that proposes an empty name, and a nameless examination filed in
    // the archive by a stray Enter.
    void saveWithoutACodeWantsAName_data() {
        QTest::addColumn<QStringList>("chosen"); // the dialog's answers in turn; "" is the folder itself
        QTest::addColumn<QString>("saved");
        QTest::newRow("a name") << QStringList{QStringLiteral("Név.kvx")} << QStringLiteral("Név.kvx");
        QTest::newRow("only the suffix, then a name")
            << QStringList{QStringLiteral(".kvx"), QStringLiteral("Név.kvx")} << QStringLiteral("Név.kvx");
        QTest::newRow("blank, then cancelled") << QStringList{QStringLiteral("   .kvx")} << QString();
        QTest::newRow("the folder itself") << QStringList{QString()} << QString();
    }
    void saveWithoutACodeWantsAName() {
        QFETCH(QStringList, chosen);
        QFETCH(QString, saved);
        App app;
        WorkingFolder::resetAnswerFiles(app.testRoot.root());
        app.session.setCode(QString());
        const QString archive = app.testRoot.root().archiveFolder();
        QVERIFY(QDir().mkpath(archive));
        for (const QString& name : chosen)
            app.platform.setNextFileName(name.isEmpty() ? archive : archive + QLatin1Char('/') + name);
        QVERIFY2(app.commands.save(), qPrintable(app.platform.messages.join(QLatin1Char('|'))));
        QVERIFY(app.platform.dialogs.first().dialog.fileName.isEmpty());
        // Each refused name is told and asked again.
        const qsizetype refused = chosen.size() - (saved.isEmpty() ? 0 : 1);
        QCOMPARE(app.platform.messages.size(), refused);
        QCOMPARE(app.platform.dialogs.size(), refused + 1);
        QCOMPARE(QDir(archive).entryList(QDir::Files), saved.isEmpty() ? QStringList() : QStringList{saved});
    }
};

QTEST_GUILESS_MAIN(TestAppCommands)
#include "tst_app_commands.moc"

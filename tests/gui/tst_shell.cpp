#include "app/Commands.h"
#include "base/TextFile.h"
#include "formats/ExaminationFile.h"
#include "formats/PasswordStore.h"
#include "formats/WorkingFolder.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/recording/TSzemAd.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/TPwForm.h"
#include "gui/shell/Tfomenu.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A store whose line 20 holds a nine-digit password and three more characters after it.
QByteArray storeBytes(const QString& line20) {
    QStringList lines;
    for (int n = 1; n < 20; ++n)
        lines << QStringLiteral("beállítás %1").arg(n);
    lines << line20 << QStringLiteral("vége");
    return TextFile::encodeLines(lines);
}

const QString kLine20 = QStringLiteral("ABCDEFGHIJKLMNOPQRST6123456xyzÁ");

QByteArray sampleExamination(const QString& name) {
    ExaminationData data;
    data.personal.name = name;
    data.personal.age = 12;
    data.personal.date = QStringLiteral("2007.03.05.");
    data.personal.examiner = QStringLiteral("Kovács Éva");
    data.personal.sex = PersonalData::Sex::Girl;
    data.answers[0] = QStringLiteral("egy\r\n");
    return ExaminationFile::serialize(data);
}

struct Shell : ProgramFixture {
    explicit Shell(const QStringList& arguments = {}, const QByteArray& store = storeBytes(kLine20))
        : ProgramFixture(
              [&](TestRoot& root) {
                  if (!store.isNull())
                      root.put(QStringLiteral("gy_vkt/standard.dat"), store);
                  root.put(QStringLiteral("gy_vkt/archivum/minta.kvx"),
                           sampleExamination(QStringLiteral("Minta Péter")));
              },
              arguments) {
        platform.messages.clear();
    }
    Tfomenu* main() const { return forms.fomenu; }
    QLineEdit* passwordField() const { return main()->centralWidget()->findChild<QLineEdit*>(QStringLiteral("Edit1")); }
    QWidget* panel() const { return main()->centralWidget()->findChild<QWidget*>(QStringLiteral("Panel1")); }
    QMenu* menu(const char* name) const { return main()->menuBar()->findChild<QMenu*>(QLatin1String(name)); }
    QAction* action(const char* name) const { return main()->menuBar()->findChild<QAction*>(QLatin1String(name)); }
    QString archived(const QString& name) const { return testRoot.root().archiveFolder() + QLatin1Char('/') + name; }

    bool menusEnabled() const {
        for (const char* name : {"nn1", "Vizsglat1", "Belltsok1", "Ablakok"}) {
            if (!menu(name)->menuAction()->isEnabled())
                return false;
        }
        return true;
    }
    bool menusDisabled() const {
        for (const char* name : {"nn1", "Vizsglat1", "Belltsok1", "Ablakok"}) {
            if (menu(name)->menuAction()->isEnabled())
                return false;
        }
        return !action("Betlt1")->isEnabled();
    }
};

void confirmPersonalData(Shell& shell) {
    shell.forms.szemAd()->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
}

// Start-up as main() runs it, with the personal-data window confirmed if it comes up.
void startUp(Shell& shell, bool* personalDataShown) {
    ModalWatch watch(shell.forms.szemAd(), [&shell]() { confirmPersonalData(shell); });
    shell.program->start();
    if (personalDataShown)
        *personalDataShown = watch.seen;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void menuBarAsBuilt_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const char* menu, const char* text) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(menu) << QString::fromUtf8(text);
        };
        row("jvizsglat1", "nn1", "Új vizsgálat");
        row("Ment1", "nn1", "Mentés");
        row("Betlt1", "nn1", "Megnyitás");
        row("Ablakkonfigurcimentse1", "nn1", "Ablakkonfiguráció mentése");
        row("KIlp1", "nn1", "KIlép");
        row("Szemadatok1", "Vizsglat1", "Szem. adatok");
        row("Felvtel1", "Vizsglat1", "Felvétel");
        row("Jells1", "Vizsglat1", "Jelölés");
        row("Kszjegyzknyv1", "Vizsglat1", "Kész jegyzőkönyv");
        row("Profil1", "Vizsglat1", "Profil");
        row("Nyomtats1", "nn1", "Nyomtatás…");
        row("JegyzknyvPDFbe1", "nn1", "Jegyzőkönyv PDF-be…");
        row("Jelsz1", "Belltsok1", "Jelszó");
        row("Dominelrend1", "Ablakok", "Útmutató a VKT alkalmazásához");
        row("Ajells1", "Ablakok", "A jelölés");
        row("Feldolgozs1", "Ablakok", "Feldolgozás");
        row("Azeredmnyekrtelmezse1", "Ablakok", "Az eredmények értelmezése");
        row("AVKTszituciselemzse1", "Ablakok", "A VKT szituációs elemzése");
        row("aprogramnvjegye1", "Ablakok", "a program névjegye");
    }
    void menuBarAsBuilt() {
        QFETCH(QString, name);
        QFETCH(QString, menu);
        QFETCH(QString, text);
        Shell shell;
        QMenu* owner = shell.main()->menuBar()->findChild<QMenu*>(menu);
        QVERIFY(owner);
        QAction* action = owner->findChild<QAction*>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), text);
        QVERIFY(owner->actions().contains(action));
    }

    void menusInOrderWithSeparators() {
        Shell shell;
        QStringList titles;
        for (QAction* top : shell.main()->menuBar()->actions())
            titles << top->text();
        QCOMPARE(titles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Vizsgálat"),
                                      QStringLiteral("Beállítások"), QStringLiteral("&Súgó")}));
        QStringList fileItems;
        for (QAction* item : shell.menu("nn1")->actions())
            fileItems << item->objectName();
        QCOMPARE(
            fileItems,
            (QStringList{QStringLiteral("jvizsglat1"), QStringLiteral("N4"), QStringLiteral("Ment1"),
                         QStringLiteral("N3"), QStringLiteral("Betlt1"), QStringLiteral("Archivum1"),
                         QStringLiteral("Exportals1"), QStringLiteral("Biztonsgimentes1"), QStringLiteral("N8"),
                         QStringLiteral("Nyomtats1"), QStringLiteral("JegyzknyvPDFbe1"), QStringLiteral("N1"),
                         QStringLiteral("Ablakkonfigurcimentse1"), QStringLiteral("N2"), QStringLiteral("KIlp1")}));
        for (const char* separator : {"N1", "N2", "N3", "N4", "N5", "N6", "N7", "N8"})
            QVERIFY2(shell.action(separator) && shell.action(separator)->isSeparator(), separator);
    }

    void startsLockedWithThePasswordPanel() {
        Shell shell;
        startUp(shell, nullptr);
        QCOMPARE(shell.main()->windowTitle(), QStringLiteral("Tavrix gyermek VKT"));
        QVERIFY(shell.menusDisabled());
        QVERIFY(!shell.panel()->isHidden());
        QCOMPARE(shell.panel()->geometry(), QRect(5, 5, 164, 40));
        QCOMPARE(shell.panel()->palette().color(QPalette::Window), QColor(248, 247, 199));
        auto* label = shell.panel()->findChild<QLabel*>(QStringLiteral("Label5"));
        QCOMPARE(label->text(), QStringLiteral("jelszó:"));
        QVERIFY(label->font().bold());
        QCOMPARE(shell.passwordField()->echoMode(), QLineEdit::Password);
        QCOMPARE(shell.session.programPassword(), QStringLiteral("123456"));
        QVERIFY(shell.platform.messages.isEmpty());
    }

    void unlocksOnTheLastDigitOnly() {
        Shell shell;
        startUp(shell, nullptr);
        shell.main()->show();
        QTest::keyClicks(shell.passwordField(), QStringLiteral("12345"));
        QVERIFY(shell.menusDisabled());
        QTest::keyClick(shell.passwordField(), Qt::Key_6);
        QVERIFY(shell.main()->isUnlocked());
        QVERIFY(shell.menusEnabled());
        QVERIFY(shell.action("Betlt1")->isEnabled());
        QVERIFY(shell.panel()->isHidden());
        QVERIFY(shell.platform.messages.isEmpty());
    }

    void wrongTextsDoNotUnlock_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("longer") << QStringLiteral("1234567");
        QTest::newRow("shorter") << QStringLiteral("12345");
        QTest::newRow("blank after") << QStringLiteral("123456 ");
        QTest::newRow("other digits") << QStringLiteral("654321");
    }
    void wrongTextsDoNotUnlock() {
        QFETCH(QString, typed);
        Shell shell;
        startUp(shell, nullptr);
        shell.passwordField()->setText(typed);
        QVERIFY(shell.menusDisabled());
        QCOMPARE(shell.passwordField()->text(), typed);
        QVERIFY(shell.platform.messages.isEmpty());
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("unlockedAtStart");
        QTest::addColumn<bool>("openedAtStart");
        QTest::addColumn<bool>("openedWhenTyped");
        const QString file = QStringLiteral("ARCHIVE/minta.kvx");
        QTest::newRow("handover") << QStringList{QStringLiteral("_sel=123456;"), file} << true << true << false;
        QTest::newRow("handover wrong password")
            << QStringList{QStringLiteral("_sel=999999;"), file} << false << false << true;
        QTest::newRow("other key") << QStringList{QStringLiteral("_xyz=123456;"), file} << false << false << false;
        QTest::newRow("one parameter") << QStringList{file} << false << false << true;
        QTest::newRow("three parameters")
            << QStringList{QStringLiteral("_sel=123456;"), file, file} << false << false << false;
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, unlockedAtStart);
        QFETCH(bool, openedAtStart);
        QFETCH(bool, openedWhenTyped);
        Shell shell;
        for (QString& argument : arguments)
            argument.replace(QStringLiteral("ARCHIVE/"), shell.testRoot.root().archiveFolder() + QLatin1Char('/'));
        shell.program->commands().setCommandLine(CommandLine::parse(arguments));

        bool shown = false;
        startUp(shell, &shown);
        QCOMPARE(shown, openedAtStart);
        QCOMPARE(shell.main()->isUnlocked(), unlockedAtStart);
        QCOMPARE(shell.session.personal().name == QStringLiteral("Minta Péter"), openedAtStart);
        if (openedAtStart)
            QCOMPARE(shell.session.personal().code, QStringLiteral("MINTA"));
        if (!unlockedAtStart && arguments.size() == 2 && arguments.first().startsWith(QLatin1String("_sel=")))
            QCOMPARE(shell.passwordField()->text(), PasswordStore::parseParameter(arguments.first()).value);
        if (unlockedAtStart)
            return;

        ModalWatch watch(shell.forms.szemAd(), [&shell]() { confirmPersonalData(shell); });
        shell.passwordField()->setText(QStringLiteral("123456"));
        QVERIFY(shell.main()->isUnlocked());
        QCOMPARE(watch.seen, openedWhenTyped);
        QCOMPARE(shell.session.personal().name == QStringLiteral("Minta Péter"), openedWhenTyped);
        QVERIFY(shell.platform.messages.isEmpty());
    }

    void unreadableCommandLineFileIsReportedOnceAndUnlocks_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("handover") << QStringList{QStringLiteral("_sel=123456;"), QStringLiteral("/nincs/ilyen.kvx")};
        // A lone parameter is always the file to open, even when it looks like a handover.
        QTest::newRow("handover alone") << QStringList{QStringLiteral("_sel=123456;")};
    }
    void unreadableCommandLineFileIsReportedOnceAndUnlocks() {
        QFETCH(QStringList, arguments);
        Shell shell(arguments);
        startUp(shell, nullptr);
        if (arguments.size() == 1)
            shell.passwordField()->setText(QStringLiteral("123456"));
        QCOMPARE(shell.platform.messages, QStringList{QStringLiteral("File not found: ") + arguments.last()});
        QVERIFY(shell.main()->isUnlocked());
        QVERIFY(shell.menusEnabled());
        shell.passwordField()->setText(QString());
        shell.passwordField()->setText(QStringLiteral("123456"));
        QCOMPARE(shell.platform.messages.size(), 1);
    }

    void unusableStoreIsLaidDownAgain_data() {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<bool>("keptAside");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("nineteen lines") << QByteArray("a\r\n").repeated(19) << true;
        QTest::newRow("no digit at 21") << storeBytes(QStringLiteral("ABCDEFGHIJKLMNOPQRSTx123456")) << true;
        QTest::newRow("empty file") << QByteArray("") << true;
        // A line 20 that would yield fewer than six digits, or not digits, is damage too.
        QTest::newRow("nine declared, four there") << storeBytes(QStringLiteral("ABCDEFGHIJKLMNOPQRST91234")) << true;
        QTest::newRow("length zero") << storeBytes(QStringLiteral("ABCDEFGHIJKLMNOPQRST0123456789")) << true;
        QTest::newRow("NUL in the password")
            << storeBytes(QStringLiteral("ABCDEFGHIJKLMNOPQRST612") + QChar(0) + QStringLiteral("456xyz")) << true;
    }

    void unreadableStoreKeepsTheProgramLocked() {
        // A store that is there but cannot be read is neither replaced nor stood in for.
        Shell shell({}, QByteArray());
        QVERIFY(QDir().mkpath(shell.testRoot.root().passwordStore()));
        startUp(shell, nullptr);
        const QString path = shell.testRoot.root().passwordStore();
        QCOMPARE(shell.platform.messages.size(), 1);
        QVERIFY(shell.platform.messages.first().contains(path));
        QVERIFY(shell.platform.messages.first().contains(QStringLiteral("nem olvasható")));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(!shell.testRoot.exists(QStringLiteral("gy_vkt/standard.dat.bak")));
        for (const QString& attempt : {PasswordStore::defaultPassword(), QString(), QStringLiteral("1")}) {
            shell.passwordField()->setText(attempt);
            QVERIFY(!shell.main()->isUnlocked());
        }
    }
    void unusableStoreIsLaidDownAgain() {
        QFETCH(QByteArray, store);
        QFETCH(bool, keptAside);
        Shell shell({}, store);
        startUp(shell, nullptr);
        const QString path = shell.testRoot.root().passwordStore();
        QCOMPARE(shell.platform.messages,
                 QStringList{QStringLiteral("A program-jelszó tárolója (") + path +
                             QStringLiteral(") hiányzik vagy sérült. A program visszaállítja a telepítéskori "
                                            "tárolót; ettől kezdve a telepítéskori jelszó érvényes.")});
        QCOMPARE(shell.testRoot.get(QStringLiteral("gy_vkt/standard.dat")), PasswordStore::defaultStoreBytes());
        QCOMPARE(shell.testRoot.exists(QStringLiteral("gy_vkt/standard.dat.bak")), keptAside);
        if (keptAside)
            QCOMPARE(shell.testRoot.get(QStringLiteral("gy_vkt/standard.dat.bak")), store);
        shell.passwordField()->setText(PasswordStore::defaultPassword());
        QVERIFY(shell.main()->isUnlocked());
    }

    void closeQuery_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("chosenFile");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("saveDialog");
        QTest::newRow("no to leaving") << QList<bool>{false} << QString() << false << 1 << false;
        QTest::newRow("leave without saving") << QList<bool>{true, false} << QString() << true << 2 << false;
        QTest::newRow("save cancelled") << QList<bool>{true, true} << QString() << true << 2 << true;
        QTest::newRow("saved") << QList<bool>{true, true} << QStringLiteral("ARCHIVE/uj.kvx") << true << 2 << true;
        QTest::newRow("save fails") << QList<bool>{true, true} << QStringLiteral("ARCHIVE/nincs/uj.kvx") << false << 2
                                    << true;
    }
    void closeQuery() {
        QFETCH(QList<bool>, answers);
        QFETCH(QString, chosenFile);
        QFETCH(bool, closes);
        QFETCH(int, questions);
        QFETCH(bool, saveDialog);
        Shell shell;
        startUp(shell, nullptr);
        WorkingFolder::resetAnswerFiles(shell.testRoot.root());
        shell.session.setCode(QStringLiteral("KOD"));
        shell.session.setName(QStringLiteral("Név"));
        for (bool answer : answers)
            shell.platform.setNextAnswer(answer);
        chosenFile.replace(QStringLiteral("ARCHIVE/"), shell.testRoot.root().archiveFolder() + QLatin1Char('/'));
        if (!chosenFile.isEmpty())
            shell.platform.setNextFileName(chosenFile);
        QSignalSpy accepted(shell.main(), &Tfomenu::closeAccepted);
        shell.main()->show();

        // Still locked: the close query works all the same.
        QCOMPARE(shell.main()->close(), closes);
        QCOMPARE(shell.main()->isVisible(), !closes);
        QCOMPARE(accepted.size(), closes ? 1 : 0);
        QStringList expected{QStringLiteral("Ki akar lépni a Gyermek VKT programból?"),
                             QStringLiteral("El akarja menteni az aktuális vizsgálatot?")};
        QCOMPARE(shell.platform.questions, expected.mid(0, questions));
        QCOMPARE(shell.platform.dialogs.size(), saveDialog ? 1 : 0);
        if (!saveDialog)
            return;
        const Platform::FileDialog& dialog = shell.platform.dialogs.first().dialog;
        QVERIFY(shell.platform.dialogs.first().save);
        QCOMPARE(dialog.filter, QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*"));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("kvx"));
        QCOMPARE(dialog.initialFolder, shell.testRoot.root().archiveFolder());
        QCOMPARE(dialog.fileName, QStringLiteral("KOD"));
        QVERIFY(dialog.overwritePrompt);
        if (chosenFile.isEmpty())
            return;
        if (closes) {
            QVERIFY(QFileInfo::exists(chosenFile));
            QVERIFY(shell.platform.messages.isEmpty());
        } else {
            QCOMPARE(shell.platform.messages, QStringList{QStringLiteral("Cannot create file ") + chosenFile +
                                                          QStringLiteral("\nNincs ilyen fájl vagy mappa.")});
        }
    }

    void exitItemRunsTheCloseQuery() {
        Shell shell;
        startUp(shell, nullptr);
        shell.passwordField()->setText(QStringLiteral("123456"));
        shell.main()->show();
        shell.platform.setNextAnswer(false);
        shell.action("KIlp1")->trigger();
        QVERIFY(shell.main()->isVisible());
        QCOMPARE(shell.platform.questions, QStringList{QStringLiteral("Ki akar lépni a Gyermek VKT programból?")});
    }

    void saveCommandWritesTheExamination() {
        Shell shell;
        startUp(shell, nullptr);
        WorkingFolder::resetAnswerFiles(shell.testRoot.root());
        WorkingFolder::saveAnswer(shell.testRoot.root(), 3, QStringLiteral("három"));
        shell.session.setName(QStringLiteral("Kis Ádám"));
        const QString target = shell.archived(QStringLiteral("KIS.kvx"));
        shell.platform.setNextFileName(target);
        shell.action("Ment1")->trigger();
        const ExaminationData back = ExaminationFile::read(target);
        QCOMPARE(back.personal.name, QStringLiteral("Kis Ádám"));
        QCOMPARE(back.answers[2], QStringLiteral("három\r\n"));
    }

    void saveWithoutAnswerFilesReportsAndKeepsOldFile() {
        Shell shell;
        startUp(shell, nullptr);
        const QString target = shell.archived(QStringLiteral("minta.kvx"));
        const QByteArray before = readFileBytes(target);
        shell.platform.setNextFileName(target);
        QVERIFY(!shell.program->commands().save());
        QCOMPARE(shell.platform.messages,
                 QStringList{QStringLiteral("File not found: ") + shell.testRoot.root().answerFile(1)});
        QCOMPARE(readFileBytes(target), before);
    }

    void passwordChangeRefusals_data() {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::newRow("five digits") << QStringLiteral("123456") << QStringLiteral("12345") << QStringLiteral("12345");
        QTest::newRow("ten digits") << QStringLiteral("123456") << QStringLiteral("1234567890")
                                    << QStringLiteral("1234567890");
        QTest::newRow("letter") << QStringLiteral("123456") << QStringLiteral("12a456") << QStringLiteral("12a456");
        QTest::newRow("wrong old") << QStringLiteral("654321") << QStringLiteral("111111") << QStringLiteral("111111");
        QTest::newRow("confirmation") << QStringLiteral("123456") << QStringLiteral("111111")
                                      << QStringLiteral("111112");
    }
    void passwordChangeRefusals() {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        Shell shell;
        startUp(shell, nullptr);
        const QByteArray before = shell.testRoot.get(QStringLiteral("gy_vkt/standard.dat"));
        TPwForm* dialog = shell.forms.pwForm();
        dialog->show();
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Edit1")), oldPassword);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Edit2")), newPassword);
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Edit3")), confirmation);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
        QVERIFY(dialog->findChild<QWidget*>(QStringLiteral("Panel1"))->isHidden());
        QVERIFY(dialog->findChild<QWidget*>(QStringLiteral("Panel2"))->isHidden());
        QVERIFY(!dialog->findChild<QWidget*>(QStringLiteral("Panel3"))->isHidden());
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Label6"))->text(),
                 QStringLiteral("A jelszóváltozás érvénytelen!!!"));
        QCOMPARE(shell.session.programPassword(), QStringLiteral("123456"));
        QCOMPARE(shell.testRoot.get(QStringLiteral("gy_vkt/standard.dat")), before);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button3")), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    }

    void passwordChangeWritesOnlyLine20InPlace_data() {
        QTest::addColumn<QString>("line20");
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("expected");
        QTest::newRow("six to nine") << kLine20 << QStringLiteral("123456") << QStringLiteral("987654321")
                                     << QStringLiteral("ABCDEFGHIJKLMNOPQRST9987654321Á");
        QTest::newRow("nine to six") << QStringLiteral("ABCDEFGHIJKLMNOPQRST9987654321") << QStringLiteral("987654321")
                                     << QStringLiteral("555666") << QStringLiteral("ABCDEFGHIJKLMNOPQRST6555666321");
    }
    void passwordChangeWritesOnlyLine20InPlace() {
        QFETCH(QString, line20);
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, expected);
        Shell shell({}, storeBytes(line20));
        startUp(shell, nullptr);
        shell.passwordField()->setText(oldPassword);
        QVERIFY(shell.main()->isUnlocked());

        TPwForm* dialog = shell.forms.pwForm();
        // Checks inside a modal loop could not stop the test without leaving the dialog up, so
        // the dialog's states are recorded and compared once it has closed.
        bool enabledEmpty = true, enabledFilled = false, successShown = false;
        QString successText;
        ModalWatch watch(dialog, [&]() {
            auto* done = dialog->findChild<QPushButton*>(QStringLiteral("Button1"));
            enabledEmpty = done->isEnabled();
            dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(oldPassword);
            enabledFilled = done->isEnabled();
            dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(newPassword);
            dialog->findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(newPassword);
            done->click();
            successShown = !dialog->findChild<QWidget*>(QStringLiteral("Panel2"))->isHidden();
            successText = dialog->findChild<QLabel*>(QStringLiteral("Label5"))->text();
            dialog->findChild<QPushButton*>(QStringLiteral("Button2"))->click();
        });
        shell.action("Jelsz1")->trigger();
        QVERIFY(watch.seen);
        QVERIFY(!enabledEmpty);
        QVERIFY(enabledFilled);
        QVERIFY(successShown);
        QCOMPARE(successText, QStringLiteral("A jelszóváltozás érvénybe lépett"));

        QCOMPARE(shell.session.programPassword(), newPassword);
        QStringList lines;
        for (int n = 1; n < 20; ++n)
            lines << QStringLiteral("beállítás %1").arg(n);
        lines << expected << QStringLiteral("vége");
        QCOMPARE(shell.testRoot.get(QStringLiteral("gy_vkt/standard.dat")), TextFile::encodeLines(lines));
        QVERIFY(shell.platform.messages.isEmpty());

        // The next start reads the new password back.
        Shell next({}, shell.testRoot.get(QStringLiteral("gy_vkt/standard.dat")));
        startUp(next, nullptr);
        QCOMPARE(next.session.programPassword(), newPassword);
    }

    void passwordDialogStartsAfreshEachTime() {
        Shell shell;
        startUp(shell, nullptr);
        TPwForm* dialog = shell.forms.pwForm();
        dialog->show();
        dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("1"));
        dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("Button3"))->click();
        dialog->show();
        QVERIFY(!dialog->findChild<QWidget*>(QStringLiteral("Panel1"))->isHidden());
        QVERIFY(dialog->findChild<QWidget*>(QStringLiteral("Panel3"))->isHidden());
        QVERIFY(dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text().isEmpty());
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("Button1"))->isEnabled());
    }

    void tooFewDialogText() {
        Shell shell;
        shell.forms.kevesValasz()->setCount(17);
        QCOMPARE(shell.forms.kevesValasz()->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Kevés a lejelölt válasz, mindössze 17."));
        QCOMPARE(shell.forms.kevesValasz()->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("Legalább 18 lejelölt válasz szükséges!"));
        QCOMPARE(shell.forms.kevesValasz()->findChild<QPushButton*>(QStringLiteral("OKBtn"))->text(),
                 QStringLiteral("Rendben"));
    }

    void aboutLines() {
        TestRoot root;
        const QString path = root.root().gyVkt(QStringLiteral("nevjegy.txt"));
        QCOMPARE(TAboutForm::aboutLines(path), (QStringList{QStringLiteral("gyermek VKT"), QStringLiteral("Tavrix")}));
        root.put(QStringLiteral("gy_vkt/nevjegy.txt"),
                 TextFile::encodeLines({QStringLiteral("gyermek VKT 1.0"), QStringLiteral("Tavrix Kft."),
                                        QStringLiteral("Győr"), QString()}));
        QCOMPARE(TAboutForm::aboutLines(path), (QStringList{QStringLiteral("gyermek VKT 1.0"),
                                                            QStringLiteral("Tavrix Kft."), QStringLiteral("Győr")}));
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"

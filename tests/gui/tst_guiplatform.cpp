#include "gui/common/DesktopOpener.h"
#include "gui/common/KeyboardReturn.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/ScreenFit.h"
#include "gui/common/Translations.h"
#include "gui/common/Widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// The texts of the buttons of the modal window that comes up next, which is then left with its
// Escape button.
QStringList buttonsOfNextModal(std::function<void()> open) {
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        for (const QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            if (b->isVisible() && !b->text().isEmpty())
                texts << b->text();
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            box->escapeButton()->click();
        else
            qobject_cast<QDialog*>(modal)->reject();
    });
    open();
    return texts;
}

} // namespace

class TestGuiPlatform : public QObject {
    Q_OBJECT
private slots:
    void nameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("save dialog") << QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*")
                                     << QStringList{QStringLiteral("gyermek VKT vizsg. eredm. (*.kvx)"),
                                                    QStringLiteral("minden fájl (*.*)")};
        // The open dialog's descriptions already show their patterns; they must not appear twice.
        QTest::newRow("open dialog") << QStringLiteral("gyermek VKT. vizsg. eredm. (*.kvx)|*.kvx|minden fájl (*.*)|*.*")
                                     << QStringList{QStringLiteral("gyermek VKT. vizsg. eredm. (*.kvx)"),
                                                    QStringLiteral("minden fájl (*.*)")};
        QTest::newRow("several patterns")
            << QStringLiteral("képek|*.bmp;*.jpg") << QStringList{QStringLiteral("képek (*.bmp *.jpg)")};
        QTest::newRow("empty") << QString() << QStringList();
    }
    void nameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtPlatform::nameFilters(filter), expected);
    }

    void standardDialogsSpeakHungarian() {
        // The test runs under the C locale: the catalogue is chosen for Hungarian regardless.
        QVERIFY(Translations::installHungarian(*qApp));
        QtPlatform platform;
        const QStringList question = buttonsOfNextModal([&] { QVERIFY(!platform.confirm(QStringLiteral("Kilép?"))); });
        QCOMPARE(question.size(), 2);
        QVERIFY2(question.contains(QStringLiteral("&Igen")) && question.contains(QStringLiteral("&Nem")),
                 qPrintable(question.join(QLatin1Char('|'))));
        Platform::FileDialog dialog;
        dialog.filter = QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx");
        const QStringList save = buttonsOfNextModal([&] { platform.saveFileName(dialog); });
        QVERIFY2(save.contains(QStringLiteral("Mégse")), qPrintable(save.join(QLatin1Char('|'))));
        for (const QString& english : {QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Cancel"),
                                       QStringLiteral("&Save"), QStringLiteral("Save")})
            QVERIFY2(!question.contains(english) && !save.contains(english), qPrintable(english));
    }

    // Catches a dialog left where its grown part (and its buttons) is off the screen, one shrunk
    // below what it needs, and one pushed off a screen that does not start at 0.
    void fitted_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1366, 768);
        QTest::newRow("fits") << QRect(100, 100, 400, 300) << screen << QSize() << QRect(100, 100, 400, 300);
        QTest::newRow("grown below the bottom")
            << QRect(436, 524, 494, 372) << screen << QSize() << QRect(436, 396, 494, 372);
        QTest::newRow("past the right edge")
            << QRect(1200, 100, 400, 300) << screen << QSize() << QRect(966, 100, 400, 300);
        QTest::newRow("above and left") << QRect(-50, -20, 400, 300) << screen << QSize() << QRect(0, 0, 400, 300);
        QTest::newRow("larger than 1024x768")
            << QRect(0, 0, 1100, 900) << QRect(0, 0, 1024, 768) << QSize(200, 100) << QRect(0, 0, 1024, 768);
        QTest::newRow("minimum taller than the screen")
            << QRect(10, 10, 500, 900) << screen << QSize(0, 800) << QRect(10, 0, 500, 800);
        QTest::newRow("second screen") << QRect(1400, 700, 300, 200) << QRect(1366, 0, 1024, 768) << QSize()
                                       << QRect(1400, 568, 300, 200);
    }
    void fitted() {
        QFETCH(QRect, frame);
        QFETCH(QRect, area);
        QFETCH(QSize, minimum);
        QFETCH(QRect, expected);
        QCOMPARE(ScreenFit::fitted(frame, area, minimum), expected);
    }

    // Catches a dialog that is fitted when it shows but not when it grows afterwards.
    void grownDialogComesBackOnScreen() {
        ScreenFit fit;
        QDialog dialog;
        const QRect area = dialog.screen()->availableGeometry();
        dialog.resize(300, 60);
        dialog.move(area.left() + 40, area.bottom() - 100);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.resize(300, 400);
        QTRY_VERIFY(area.contains(dialog.frameGeometry()));
        QCOMPARE(dialog.size(), QSize(300, 400));
    }

    // Catches the keyboard left with the main window (the dialog's owner) when a message closes,
    // after the examiner had been typing in a tool window, also when the message came from the
    // main window's menu.
    void keyboardComesBack_data() {
        QTest::addColumn<bool>("fromTheMenu");
        QTest::newRow("from the tool window") << false;
        QTest::newRow("from the main window's menu") << true;
    }
    void keyboardComesBack() {
        QFETCH(bool, fromTheMenu);
        KeyboardReturn keyboard;
        QMainWindow main;
        main.show();
        QDialog tool(&main, Qt::Tool);
        // The first field, which a window given back without its field would focus.
        new QLineEdit(&tool);
        auto* field = new QLineEdit(&tool);
        field->move(0, 40);
        tool.show();
        Widgets::activate(&tool);
        QTRY_COMPARE(QApplication::activeWindow(), &tool);
        field->setFocus();
        if (fromTheMenu) {
            Widgets::activate(&main);
            QTRY_COMPARE(QApplication::activeWindow(), &main);
        }
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("gyermek VKT"), QStringLiteral("Túl sok jel"),
                        QMessageBox::Ok, &main);
        QTimer::singleShot(50, &box, &QDialog::accept);
        box.exec();
        QTRY_COMPARE(QApplication::activeWindow(), &tool);
        QCOMPARE(tool.focusWidget(), field);
    }

    // Catches an opener counted as a success because it started: its exit status decides.
    void openerExitStatusDecides_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("notOpened");
        QTest::newRow("opened") << 0 << false;
        QTest::newRow("no method available") << 3 << true;
        QTest::newRow("no such file") << 2 << true;
    }
    void openerExitStatusDecides() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
        QSKIP("the system opens documents itself");
#endif
        QFETCH(int, status);
        QFETCH(bool, notOpened);
        QTemporaryDir bin;
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nexit " + QByteArray::number(status) + "\n");
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        bool told = false;
        {
            DesktopOpener desktop;
            desktop.open(bin.filePath(QStringLiteral("jegyzokonyv.html")), [&told] { told = true; });
            QTRY_VERIFY(desktop.findChildren<QProcess*>().isEmpty());
        }
        qputenv("PATH", path);
        QCOMPARE(told, notOpened);
    }
};

QTEST_MAIN(TestGuiPlatform)
#include "tst_guiplatform.moc"

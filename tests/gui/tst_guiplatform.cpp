#include "gui/common/QtPlatform.h"
#include "gui/common/ScreenFit.h"
#include "gui/common/Translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
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
    // below what it needs, and one pushed off a screen that does not start at 0. (The print
    // dialog growing under a window manager is the desktop suite's.)
    void fitted_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1366, 768);
        QTest::newRow("fits") << QRect(100, 100, 400, 300) << screen << QSize() << QRect(100, 100, 400, 300);
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
};

QTEST_MAIN(TestGuiPlatform)
#include "tst_guiplatform.moc"

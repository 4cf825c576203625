#include "gui/common/QtPlatform.h"

#include <QtTest>

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
};

QTEST_MAIN(TestGuiPlatform)
#include "tst_guiplatform.moc"

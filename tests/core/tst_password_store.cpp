#include "base/TextFile.h"
#include "formats/PasswordStore.h"

#include <QtTest>

class TestPasswordStore : public QObject {
    Q_OBJECT

    static QStringList storeWithLine20(const QString& line20) {
        QStringList lines;
        for (int n = 1; n < 20; ++n)
            lines << QStringLiteral("sor %1").arg(n);
        lines << line20 << QStringLiteral("utolsó");
        return lines;
    }

private slots:
    void readsPassword_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<QString>("password");
        const QString prefix = QStringLiteral("abcdefghijklmnopqrst");
        QTest::newRow("six digits") << storeWithLine20(prefix + QStringLiteral("6123456xyz")) << true
                                    << QStringLiteral("123456");
        QTest::newRow("nine digits") << storeWithLine20(prefix + QStringLiteral("9987654321")) << true
                                     << QStringLiteral("987654321");
        // A damaged line 20 never yields a password shorter than six digits or not made of digits.
        QTest::newRow("zero length") << storeWithLine20(prefix + QStringLiteral("0555555555")) << false << QString();
        QTest::newRow("five declared") << storeWithLine20(prefix + QStringLiteral("5123456789")) << false << QString();
        QTest::newRow("line ends early") << storeWithLine20(prefix + QStringLiteral("91234")) << false << QString();
        QTest::newRow("letter among the digits")
            << storeWithLine20(prefix + QStringLiteral("6123a56")) << false << QString();
        QTest::newRow("NUL among the digits")
            << storeWithLine20(prefix + QStringLiteral("612") + QChar(0) + QStringLiteral("456")) << false << QString();
        QTest::newRow("no digit at 21") << storeWithLine20(prefix + QStringLiteral("x123456")) << false << QString();
        QTest::newRow("line 20 too short") << storeWithLine20(prefix) << false << QString();
        QStringList nineteen = storeWithLine20(prefix + QStringLiteral("6123456"));
        nineteen = nineteen.mid(0, 19);
        QTest::newRow("nineteen lines") << nineteen << false << QString();
    }
    void readsPassword() {
        QFETCH(QStringList, lines);
        QFETCH(bool, usable);
        QFETCH(QString, password);
        const std::optional<QString> read = PasswordStore::passwordFromLines(lines);
        QCOMPARE(read.has_value(), usable);
        if (usable)
            QCOMPARE(*read, password);
    }

    void defaultStoreHoldsFirstPassword() {
        const QByteArray bytes = PasswordStore::defaultStoreBytes();
        QVERIFY(bytes.endsWith("\r\n"));
        const QStringList lines = TextFile::splitLines(QString::fromLatin1(bytes));
        QVERIFY(lines.size() >= 20);
        QVERIFY(lines.at(19).size() >= 30);
        QCOMPARE(PasswordStore::passwordFromLines(lines).value_or(QString()), QStringLiteral("123456"));
        QCOMPARE(PasswordStore::defaultPassword(), QStringLiteral("123456"));
    }

    void changeValidation_data() {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("valid");
        const QString current = QStringLiteral("123456");
        QTest::newRow("six digits") << current << QStringLiteral("654321") << QStringLiteral("654321") << true;
        QTest::newRow("nine digits") << current << QStringLiteral("987654321") << QStringLiteral("987654321") << true;
        QTest::newRow("five digits") << current << QStringLiteral("12345") << QStringLiteral("12345") << false;
        QTest::newRow("ten digits") << current << QStringLiteral("1234567890") << QStringLiteral("1234567890") << false;
        QTest::newRow("letter") << current << QStringLiteral("12345a") << QStringLiteral("12345a") << false;
        QTest::newRow("blank") << current << QStringLiteral("123 456") << QStringLiteral("123 456") << false;
        QTest::newRow("non-ascii digit") << current << QStringLiteral("12345٣") << QStringLiteral("12345٣") << false;
        QTest::newRow("wrong old") << QStringLiteral("1234567") << QStringLiteral("654321") << QStringLiteral("654321")
                                   << false;
        QTest::newRow("old is a prefix") << QStringLiteral("12345") << QStringLiteral("654321")
                                         << QStringLiteral("654321") << false;
        QTest::newRow("confirmation differs")
            << current << QStringLiteral("654321") << QStringLiteral("654322") << false;
        QTest::newRow("empty new") << current << QString() << QString() << false;
    }
    void changeValidation() {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(bool, valid);
        QCOMPARE(PasswordStore::changeIsValid(oldPassword, QStringLiteral("123456"), newPassword, confirmation), valid);
    }

    void shorterPasswordKeepsTheRestOfLine20() {
        const QString line20 = QStringLiteral("abcdefghijklmnopqrst9987654321tail");
        const QStringList before = storeWithLine20(line20);
        const QStringList after = PasswordStore::withPassword(before, QStringLiteral("555444"));
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            if (i != 19)
                QCOMPARE(after.at(i), before.at(i));
        }
        // Characters 28 to 30 still hold the old password's tail; the length digit hides them.
        QCOMPARE(after.at(19), QStringLiteral("abcdefghijklmnopqrst6555444321tail"));
        QCOMPARE(PasswordStore::passwordFromLines(after).value_or(QString()), QStringLiteral("555444"));
    }

    void shortStoreIsFilledOut() {
        const QStringList after = PasswordStore::withPassword({QStringLiteral("egy")}, QStringLiteral("123456789"));
        QCOMPARE(after.size(), 20);
        QCOMPARE(after.first(), QStringLiteral("egy"));
        QCOMPARE(after.at(19).size(), 30);
        QCOMPARE(PasswordStore::passwordFromLines(after).value_or(QString()), QStringLiteral("123456789"));

        const QStringList shortLine =
            PasswordStore::withPassword(storeWithLine20(QStringLiteral("abc")), QStringLiteral("654321"));
        QCOMPARE(shortLine.at(19), QStringLiteral("abc                 6654321"));
        QCOMPARE(shortLine.last(), QStringLiteral("utolsó"));
    }

    void parameters_data() {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("handover") << QStringLiteral("_sel=123456;") << QStringLiteral("_sel")
                                  << QStringLiteral("123456");
        QTest::newRow("no semicolon") << QStringLiteral("_sel=123456") << QStringLiteral("_sel") << QString();
        QTest::newRow("last semicolon") << QStringLiteral("_sel=12;34;") << QStringLiteral("_sel")
                                        << QStringLiteral("12;34");
        QTest::newRow("second equals in value")
            << QStringLiteral("_sel=a=b;") << QStringLiteral("_sel") << QStringLiteral("a=b");
        QTest::newRow("semicolon before equals") << QStringLiteral("x;_sel=1") << QStringLiteral("x;_sel") << QString();
        QTest::newRow("no equals") << QStringLiteral("c:\\x\\minta.kvx") << QString() << QString();
        QTest::newRow("empty value") << QStringLiteral("_sel=;") << QStringLiteral("_sel") << QString();
    }
    void parameters() {
        QFETCH(QString, parameter);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const PasswordStore::Parameter parsed = PasswordStore::parseParameter(parameter);
        QCOMPARE(parsed.key, key);
        QCOMPARE(parsed.value, value);
    }
};

QTEST_GUILESS_MAIN(TestPasswordStore)
#include "tst_password_store.moc"

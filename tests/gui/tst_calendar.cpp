#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/recording/TKalend.h"
#include "gui/recording/TSzemAd.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QWheelEvent>
#include <QtTest>

namespace {

struct Calendar : ProgramFixture {
    // The calendar remembers the day the program started: here the one scripted before the
    // windows are created (the base's members exist by the time it prepares the root).
    explicit Calendar(const QDate& today = QDate(2007, 3, 5))
        : ProgramFixture([this, today](TestRoot&) { platform.setToday(today); }) {}

    TKalend* window() const { return forms.kalend(); }
    QCalendarWidget* grid() const { return window()->findChild<QCalendarWidget*>(QStringLiteral("Calendar1")); }
    QString year() const { return window()->findChild<QLabel*>(QStringLiteral("EvSzam"))->text(); }
    QString month() const { return window()->findChild<QLabel*>(QStringLiteral("Honap"))->text(); }
    void press(const char* button) const { window()->findChild<QPushButton*>(QLatin1String(button))->click(); }
};

} // namespace

class TestCalendar : public QObject {
    Q_OBJECT

private slots:
    void dateText_data() {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("5 March 2007") << QDate(2007, 3, 5) << QStringLiteral("2007.03.05.");
        QTest::newRow("two-digit both") << QDate(2006, 12, 31) << QStringLiteral("2006.12.31.");
        QTest::newRow("first of January") << QDate(2010, 1, 1) << QStringLiteral("2010.01.01.");
    }
    void dateText() {
        QFETCH(QDate, date);
        QFETCH(QString, text);
        QCOMPARE(TKalend::dateText(date), text);
    }

    void monthSteps_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("months");
        QTest::addColumn<QDate>("to");
        QTest::newRow("December to January") << QDate(2006, 12, 15) << 1 << QDate(2007, 1, 15);
        QTest::newRow("January to December") << QDate(2007, 1, 15) << -1 << QDate(2006, 12, 15);
        QTest::newRow("31st to April") << QDate(2007, 3, 31) << 1 << QDate(2007, 4, 30);
        QTest::newRow("31st to February") << QDate(2007, 1, 31) << 1 << QDate(2007, 2, 28);
        QTest::newRow("29th to leap February") << QDate(2008, 3, 29) << -1 << QDate(2008, 2, 29);
        QTest::newRow("30th to February") << QDate(2007, 3, 30) << -1 << QDate(2007, 2, 28);
        QTest::newRow("day kept") << QDate(2007, 4, 30) << 1 << QDate(2007, 5, 30);
    }
    void monthSteps() {
        QFETCH(QDate, from);
        QFETCH(int, months);
        QFETCH(QDate, to);
        // The calendar starts on the day of the program start; one step from there.
        Calendar c(from);
        c.press(months > 0 ? "nextMonth" : "PrevMonth");
        QCOMPARE(c.window()->selectedDate(), to);
        QCOMPARE(c.month(), TKalend::monthName(to.month()) + QLatin1Char('.'));
    }

    void startsOnTheDayOfTheStart() {
        Calendar c;
        QCOMPARE(c.window()->windowTitle(), QStringLiteral("Naptár"));
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 3, 5));
        QCOMPARE(c.year(), QStringLiteral("2007."));
        QCOMPARE(c.month(), QStringLiteral("március."));
        QCOMPARE(c.grid()->firstDayOfWeek(), Qt::Sunday);
        auto* names = c.window()->findChild<QTableWidget*>(QStringLiteral("NapokNeve"));
        QStringList shown;
        for (int column = 0; column < names->columnCount(); ++column)
            shown << names->item(0, column)->text();
        QCOMPARE(shown, (QStringList{QStringLiteral(" vas."), QStringLiteral("hétfő"), QStringLiteral(" kedd"),
                                     QStringLiteral("szerda"), QStringLiteral(" csüt."), QStringLiteral("péntek"),
                                     QStringLiteral(" szomb.")}));
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {}, names->visualItemRect(names->item(0, 2)).center());
        QVERIFY(names->selectedItems().isEmpty());
    }

    void monthButtonsCrossTheYear() {
        Calendar c(QDate(2006, 12, 31));
        c.press("nextMonth");
        QCOMPARE(c.year(), QStringLiteral("2007."));
        QCOMPARE(c.month(), QStringLiteral("január."));
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 1, 31));
        c.press("nextMonth");
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 2, 28));
        QCOMPARE(c.month(), QStringLiteral("február."));
        c.press("PrevMonth");
        c.press("PrevMonth");
        QCOMPARE(c.window()->selectedDate(), QDate(2006, 12, 28));
        QCOMPARE(c.year(), QStringLiteral("2006."));
        QCOMPARE(c.month(), QStringLiteral("december."));
        QCOMPARE(c.grid()->monthShown(), 12);
        c.press("Now");
        QCOMPARE(c.window()->selectedDate(), QDate(2006, 12, 31));
    }

    void everyMonthName() {
        const QStringList names{QStringLiteral("január"),  QStringLiteral("február"),   QStringLiteral("március"),
                                QStringLiteral("április"), QStringLiteral("május"),     QStringLiteral("június"),
                                QStringLiteral("július"),  QStringLiteral("augusztus"), QStringLiteral("szeptember"),
                                QStringLiteral("október"), QStringLiteral("november"),  QStringLiteral("december")};
        Calendar c(QDate(2007, 1, 10));
        for (int month = 1; month <= 12; ++month) {
            QCOMPARE(c.month(), names.at(month - 1) + QLatin1Char('.'));
            c.press("nextMonth");
        }
        QCOMPARE(c.year(), QStringLiteral("2008."));
    }

    void okWritesTheDateAndTheCalendarKeepsItsMonth() {
        Calendar c;
        c.forms.szemAd()->show();
        c.press("nextMonth");
        c.grid()->setSelectedDate(QDate(2007, 4, 9));
        ModalWatch first(c.window(), [&c]() { c.press("OKbutton"); });
        c.window()->exec();
        QVERIFY(first.seen);
        QCOMPARE(c.forms.szemAd()->findChild<QLineEdit*>(QStringLiteral("Edit3"))->text(),
                 QStringLiteral("2007.04.09."));
        QCOMPARE(c.session.personal().date, QStringLiteral("2007.04.09."));

        // Reopened, it shows the month it was closed on; a double click on a day takes that day.
        QDate shownOnReopen;
        ModalWatch second(c.window(), [&]() {
            shownOnReopen = c.window()->selectedDate();
            c.grid()->setSelectedDate(QDate(2007, 4, 20));
            emit c.grid()->activated(QDate(2007, 4, 20));
        });
        c.window()->exec();
        QCOMPARE(shownOnReopen, QDate(2007, 4, 9));
        QCOMPARE(c.session.personal().date, QStringLiteral("2007.04.20."));
        QVERIFY(!c.window()->isVisible());
    }

    void wheelingToAnotherMonthTakesTheSelectionAlong() {
        Calendar c(QDate(2007, 3, 31));
        c.forms.szemAd()->show();
        c.window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.window()));
        auto* view = c.grid()->findChild<QAbstractItemView*>();
        QVERIFY(view);
        const QPoint centre = view->viewport()->rect().center();
        QWheelEvent down(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &down);
        QCOMPARE(c.grid()->monthShown(), 4);
        QCOMPARE(c.month(), QStringLiteral("április."));
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 4, 30));

        // The month buttons and "O.K." go on from the month on show.
        c.press("nextMonth");
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 5, 30));
        c.window()->hide();
        ModalWatch watch(c.window(), [&c]() { c.press("OKbutton"); });
        c.window()->exec();
        QVERIFY(watch.seen);
        QCOMPARE(c.session.personal().date, QStringLiteral("2007.05.30."));
    }

    void choosingADayOfAnotherMonthKeepsThatDay() {
        Calendar c(QDate(2007, 3, 31));
        c.grid()->setSelectedDate(QDate(2007, 6, 9));
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 6, 9));
        QCOMPARE(c.month(), QStringLiteral("június."));
        c.press("Now");
        QCOMPARE(c.window()->selectedDate(), QDate(2007, 3, 31));
        QCOMPARE(c.month(), QStringLiteral("március."));
    }

    void clickingADayRefreshesTheLabels() {
        Calendar c(QDate(2007, 3, 5));
        c.grid()->setSelectedDate(QDate(2007, 4, 1));
        QCOMPARE(c.month(), QStringLiteral("április."));
    }
};

QTEST_MAIN(TestCalendar)
#include "tst_calendar.moc"

#pragma once

#include <QDate>
#include <QDialog>

class AppState;
struct Forms;
class QCalendarWidget;
class QLabel;
class QTableWidget;

// "Naptár": picks the examination date for the personal-data window.
//
//   EvSzam, Honap   the shown year and month name, each followed by "."
//   NapokNeve       the Hungarian day names over the month grid, Sunday first, never selected
//   Calendar1       the month grid; a double click takes the day
//   OKbutton "O.K." takes the selected day; PrevMonth, Now "mai nap", nextMonth step the month
class TKalend : public QDialog {
    Q_OBJECT
public:
    TKalend(AppState& state, Forms& forms, QWidget* parent = nullptr);

    QDate selectedDate() const;
    // The date as the date field shows it: 2007.03.05.
    static QString dateText(const QDate& date);
    static QString monthName(int month);
    // The same day in the month `months` away, or that month's last day when it has fewer days.
    static QDate stepMonths(const QDate& date, int months);

public slots:
    void Calendar1Click();
    void NapokNeveClick();
    void Calendar1DblClick();
    void OKbuttonClick();
    void NowClick();
    void nextMonthClick();
    void PrevMonthClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshLabels();
    void followShownMonth(int year, int month);
    void showDate(const QDate& date);
    void takeDate();

    AppState& m_state;
    Forms& m_forms;
    QDate m_remembered;

    QLabel* EvSzam = nullptr;
    QLabel* Honap = nullptr;
    QTableWidget* NapokNeve = nullptr;
    QCalendarWidget* Calendar1 = nullptr;
};

#pragma once

#include <QDate>
#include <QDialog>

class Platform;
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
    TKalend(Platform& platform, QWidget* parent = nullptr);

    QDate selectedDate() const;
    // The date as the date field shows it: 2007.03.05.
    static QString dateText(const QDate& date);
    static QString monthName(int month);

public slots:
    void Calendar1Click();
    void NapokNeveClick();
    void Calendar1DblClick();
    void OKbuttonClick();
    void NowClick();
    void nextMonthClick();
    void PrevMonthClick();

signals:
    // "O.K." or a double click: the selected day as the date field shows it.
    void datePicked(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refreshLabels();
    void followShownMonth(int year, int month);
    void showDate(const QDate& date);
    void takeDate();

    QDate m_remembered;

    QLabel* EvSzam = nullptr;
    QLabel* Honap = nullptr;
    QTableWidget* NapokNeve = nullptr;
    QCalendarWidget* Calendar1 = nullptr;
};

#include "gui/recording/TKalend.h"

#include "app/Platform.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/Widgets.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace {

QLabel* makeHeading(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    return label;
}

} // namespace

TKalend::TKalend(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TKalend"));
    setWindowTitle(QStringLiteral("Naptár"));
    setAutoFillBackground(true);
    QPalette aqua = palette();
    aqua.setColor(QPalette::Window, QColor(0, 255, 255));
    setPalette(aqua);

    auto* layout = new QVBoxLayout(this);
    auto* headings = new QHBoxLayout;
    EvSzam = makeHeading(QStringLiteral("EvSzam"), this);
    Honap = makeHeading(QStringLiteral("Honap"), this);
    headings->addWidget(EvSzam);
    headings->addWidget(Honap);
    headings->addStretch(1);
    layout->addLayout(headings);

    const QStringList dayNames = {QStringLiteral(" vas."),  QStringLiteral("hétfő"),  QStringLiteral(" kedd"),
                                  QStringLiteral("szerda"), QStringLiteral(" csüt."), QStringLiteral("péntek"),
                                  QStringLiteral(" szomb.")};
    NapokNeve = new QTableWidget(1, 7, this);
    NapokNeve->setObjectName(QStringLiteral("NapokNeve"));
    NapokNeve->horizontalHeader()->hide();
    NapokNeve->verticalHeader()->hide();
    NapokNeve->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    NapokNeve->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    NapokNeve->setSelectionMode(QAbstractItemView::NoSelection);
    NapokNeve->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NapokNeve->setFocusPolicy(Qt::NoFocus);
    NapokNeve->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NapokNeve->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NapokNeve->setFixedHeight(24);
    NapokNeve->setStyleSheet(QStringLiteral("QTableWidget { background: navy; color: yellow; gridline-color: navy; }"));
    for (int column = 0; column < 7; ++column) {
        auto* item = new QTableWidgetItem(dayNames.at(column));
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        NapokNeve->setItem(0, column, item);
    }
    layout->addWidget(NapokNeve);

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setFirstDayOfWeek(Qt::Sunday);
    Calendar1->setHorizontalHeaderFormat(QCalendarWidget::NoHorizontalHeader);
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setNavigationBarVisible(false);
    Calendar1->setGridVisible(true);
    // Weekends look like every other day: the row above already names them.
    QTextCharFormat plain;
    plain.setForeground(Qt::black);
    Calendar1->setWeekdayTextFormat(Qt::Saturday, plain);
    Calendar1->setWeekdayTextFormat(Qt::Sunday, plain);
    layout->addWidget(Calendar1, 1);

    auto* buttons = new QHBoxLayout;
    auto* prev = Widgets::makeButton(QStringLiteral("előző hónap"), QStringLiteral("PrevMonth"), this);
    auto* now = Widgets::makeButton(QStringLiteral("mai nap"), QStringLiteral("Now"), this);
    auto* next = Widgets::makeButton(QStringLiteral("következő hónap"), QStringLiteral("nextMonth"), this);
    auto* ok = Widgets::makeButton(QStringLiteral("O.K."), QStringLiteral("OKbutton"), this);
    buttons->addWidget(prev);
    buttons->addWidget(now);
    buttons->addWidget(next);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(Calendar1, &QCalendarWidget::clicked, this, &TKalend::Calendar1Click);
    connect(Calendar1, &QCalendarWidget::currentPageChanged, this, &TKalend::followShownMonth);
    connect(Calendar1, &QCalendarWidget::selectionChanged, this, &TKalend::refreshLabels);
    connect(Calendar1, &QCalendarWidget::activated, this, &TKalend::Calendar1DblClick);
    connect(NapokNeve, &QTableWidget::cellClicked, this, &TKalend::NapokNeveClick);
    connect(ok, &QPushButton::clicked, this, &TKalend::OKbuttonClick);
    connect(now, &QPushButton::clicked, this, &TKalend::NowClick);
    connect(next, &QPushButton::clicked, this, &TKalend::nextMonthClick);
    connect(prev, &QPushButton::clicked, this, &TKalend::PrevMonthClick);

    // FormCreate: the calendar starts on the day the program started and remembers it.
    m_remembered = platform.today();
    showDate(m_remembered);
    setFixedSize(sizeHint().expandedTo(QSize(420, 300)));
}

QDate TKalend::selectedDate() const {
    return Calendar1->selectedDate();
}

QString TKalend::dateText(const QDate& date) {
    return QStringLiteral("%1.%2.%3.")
        .arg(date.year())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString TKalend::monthName(int month) {
    static const char* const names[] = {"január", "február",   "március",    "április", "május",    "június",
                                        "július", "augusztus", "szeptember", "október", "november", "december"};
    if (month < 1 || month > 12)
        return QString();
    return QString::fromUtf8(names[month - 1]);
}

void TKalend::refreshLabels() {
    EvSzam->setText(QString::number(Calendar1->yearShown()) + QLatin1Char('.'));
    Honap->setText(monthName(Calendar1->monthShown()) + QLatin1Char('.'));
    NapokNeve->clearSelection();
}

void TKalend::followShownMonth(int year, int month) {
    // The grid can also turn its page by itself (the mouse wheel); the day taken by "O.K." must
    // then be one of the month on show, so the selection moves along with the page.
    const QDate selected = Calendar1->selectedDate();
    if (selected.year() != year || selected.month() != month) {
        const int day = qMin(selected.day(), QDate(year, month, 1).daysInMonth());
        Calendar1->setSelectedDate(QDate(year, month, day));
    }
    refreshLabels();
}

void TKalend::showDate(const QDate& date) {
    Calendar1->setSelectedDate(date);
    Calendar1->setCurrentPage(date.year(), date.month());
    refreshLabels();
}

void TKalend::Calendar1Click() {
    refreshLabels();
}

void TKalend::NapokNeveClick() {
    refreshLabels();
}

void TKalend::takeDate() {
    emit datePicked(dateText(Calendar1->selectedDate()));
    accept();
}

void TKalend::Calendar1DblClick() {
    takeDate();
}

void TKalend::OKbuttonClick() {
    takeDate();
}

void TKalend::NowClick() {
    showDate(m_remembered);
}

void TKalend::nextMonthClick() {
    showDate(Calendar1->selectedDate().addMonths(1));
}

void TKalend::PrevMonthClick() {
    showDate(Calendar1->selectedDate().addMonths(-1));
}

void TKalend::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    QDialog::showEvent(event);
}

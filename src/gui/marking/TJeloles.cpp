#include "gui/marking/TJeloles.h"

#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "gui/common/Widgets.h"
#include "model/CombinationList.h"
#include "model/GcrKey.h"
#include "model/ScoreCode.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <functional>

namespace {

const QColor kYellow(255, 255, 0);
const QColor kLime(0, 255, 0);

// A button that reports the pointer moving over it, with or without a mouse button held, and
// the wheel turned over it.
class TrackingButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    std::function<void(Qt::KeyboardModifiers)> moved;
    std::function<void(int)> wheeled;

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        if (moved)
            moved(event->modifiers());
        QPushButton::mouseMoveEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        if (!wheeled)
            return QPushButton::wheelEvent(event);
        wheeled(event->angleDelta().y());
        event->accept();
    }
};

// A code button: the code goes in when any mouse button goes down on it. A click, and so
// the keyboard's Space or Enter, enters nothing.
class CodeButton : public TrackingButton {
public:
    using TrackingButton::TrackingButton;
    std::function<void()> pressed;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        setDown(true);
        QPointer<CodeButton> self(this);
        if (pressed)
            pressed();
        // A deletion dialog may have taken the release; do not leave the button down.
        if (self && QGuiApplication::mouseButtons() == Qt::NoButton)
            setDown(false);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        setDown(false);
    }
};

// A combination label: reports the pointer moving over it and a click on it.
class CombinationLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(Qt::KeyboardModifiers)> moved;
    std::function<void()> clicked;
    std::function<void(int)> wheeled;

protected:
    void wheelEvent(QWheelEvent* event) override {
        if (wheeled)
            wheeled(event->angleDelta().y());
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (moved)
            moved(event->modifiers());
    }
    void mousePressEvent(QMouseEvent* event) override {
        m_pressed = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool click =
            m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        m_pressed = false;
        if (click && clicked)
            clicked();
    }

private:
    bool m_pressed = false;
};

// Row 0 and column 0 hold the captions; they look like the fixed cells of a string grid.
class FixedCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() == 0 || index.column() == 0) {
            option->backgroundBrush = QColor(212, 208, 200);
            option->state &= ~QStyle::State_Selected;
        }
    }
};

void setBackground(QWidget* widget, const QColor& color) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QIcon crossIcon() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(4, 4, 16, 16);
    painter.drawLine(16, 4, 4, 16);
    return QIcon(pixmap);
}

} // namespace

TJeloles::TJeloles(ExamSession& session, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::NoButtons, parent), m_session(session), m_platform(platform) {
    setObjectName(QStringLiteral("TJeloles"));
    setWindowTitle(QStringLiteral("A felvett vizsgálat jelölése"));
    setBackground(this, kYellow);
    buildControls();
    buildKeys();

    connect(&m_session, &ExamSession::pictureSelected, this, &TJeloles::showPicture);
    connect(&m_session.grid(), &MarkingGrid::codingChanged, this, &TJeloles::showTotal);
    // Made when first needed: it opens on the picture in hand and its points.
    showPicture(m_session.currentPicture());
    showTotal();
}

void TJeloles::buildControls() {
    QLayout* navigation = buildNavigation();
    buildGrid();
    GCRosszesito = new QLineEdit(QStringLiteral("GCR érték összesen:"), this);
    GCRosszesito->setObjectName(QStringLiteral("GCRosszesito"));
    QFont totalFont = Widgets::font(QStringLiteral("Arial"), 14);
    totalFont.setBold(true);
    GCRosszesito->setFont(totalFont);

    auto* side = new QVBoxLayout;
    side->addLayout(buildCodeButtons());
    side->addSpacing(8);
    buildCombinations(side);
    side->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(StringGrid1);
    body->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(navigation);
    layout->addLayout(body, 1);
    layout->addWidget(GCRosszesito);

    resize(sizeHint().width(), 25 * 20 + gridFrame() + 90);
}

int TJeloles::gridFrame() const {
    return 2 * StringGrid1->frameWidth();
}

QLayout* TJeloles::buildNavigation() {
    BitBtn14 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft), QStringLiteral("     előző kérdés"), this);
    BitBtn14->setObjectName(QStringLiteral("BitBtn14"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setAlignment(Qt::AlignCenter);
    Edit1->setFixedWidth(40);
    BitBtn15 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), QStringLiteral("következő kérdés"), this);
    BitBtn15->setObjectName(QStringLiteral("BitBtn15"));
    // The glyph stands on the right of the caption.
    BitBtn15->setLayoutDirection(Qt::RightToLeft);
    for (QPushButton* b : {BitBtn14, BitBtn15})
        b->setAutoDefault(false);

    auto* navigation = new QHBoxLayout;
    navigation->addWidget(BitBtn14);
    navigation->addWidget(Edit1);
    navigation->addWidget(BitBtn15);
    connect(BitBtn14, &QPushButton::clicked, this, &TJeloles::BitBtn14Click);
    connect(BitBtn15, &QPushButton::clicked, this, &TJeloles::BitBtn15Click);
    return navigation;
}

void TJeloles::buildGrid() {
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(&m_session.grid());
    StringGrid1->setItemDelegate(new FixedCellDelegate(StringGrid1));
    // The caption row stays in view as the rows scroll, as a grid's fixed row does: it is
    // shown as the header, and the model's row 0 is hidden.
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setRowHidden(0, true);
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    StringGrid1->horizontalHeader()->setFixedHeight(20);
    StringGrid1->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(212, 208, 200); border: none; "
                       "border-right: 1px solid rgb(160, 160, 160); border-bottom: 1px solid rgb(160, 160, 160); "
                       "padding-left: 1px; font-family: 'Arial', 'Liberation Sans'; font-size: 11px; }"));
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setFocusPolicy(Qt::ClickFocus);
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setFont(Widgets::font(QStringLiteral("Arial"), 11));
    // Two codes fill a field's cell; clip rather than elide them.
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setWordWrap(false);
    const int widths[7] = {25, 34, 33, 33, 33, 41, 25};
    QHeaderView* columns = StringGrid1->horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    int gridWidth = 0;
    for (int column = 0; column < 7; ++column) {
        columns->resizeSection(column, widths[column]);
        gridWidth += widths[column];
    }
    QHeaderView* rows = StringGrid1->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(20);
    const int frame = gridFrame();
    StringGrid1->setFixedWidth(gridWidth + frame + StringGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    StringGrid1->setMinimumHeight(8 * 20 + frame);
    StringGrid1->resize(StringGrid1->width(), 25 * 20 + frame);
}

QLayout* TJeloles::buildCodeButtons() {
    auto* codes = new QGridLayout;
    codes->setSpacing(4);
    const char* const columnCaptions[3] = {"O-D", "E-D", "N-P"};
    for (int column = 0; column < 3; ++column) {
        auto* caption = new QLabel(QString::fromLatin1(columnCaptions[column]), this);
        caption->setAlignment(Qt::AlignCenter);
        codes->addWidget(caption, 0, column);
    }
    int rowInColumn[3] = {0, 0, 0};
    for (const ScoreCode& code : ScoreCodes::all()) {
        QPushButton* button = makeCodeButton(code);
        codes->addWidget(button, 1 + rowInColumn[code.column - 1]++, code.column - 1, Qt::AlignCenter);
        m_codeButtons[static_cast<size_t>(code.number - 1)] = button;
    }
    auto* parenthesis = new TrackingButton(QStringLiteral("( )"), this);
    parenthesis->setMouseTracking(true);
    parenthesis->moved = [this](Qt::KeyboardModifiers) { BitBtn12MouseMove(); };
    BitBtn12 = parenthesis;
    BitBtn12->setObjectName(QStringLiteral("BitBtn12"));
    BitBtn12->setToolTip(QStringLiteral("Zárójeles jelölés előtt nyomja meg!"));
    BitBtn13 = new QPushButton(crossIcon(), QString(), this);
    BitBtn13->setObjectName(QStringLiteral("BitBtn13"));
    BitBtn13->setToolTip(QStringLiteral("Törléshez aktivizálja"));
    BitBtn13->setIconSize(QSize(20, 20));
    for (QPushButton* b : {BitBtn12, BitBtn13}) {
        b->setFixedSize(46, 30);
        b->setAutoDefault(false);
    }
    codes->addWidget(BitBtn12, 5, 0, Qt::AlignCenter);
    codes->addWidget(BitBtn13, 5, 2, Qt::AlignCenter);

    connect(BitBtn12, &QPushButton::clicked, this, &TJeloles::BitBtn12Click);
    connect(BitBtn13, &QPushButton::clicked, this, &TJeloles::BitBtn13Click);
    return codes;
}

// A code's button: pressing enters the code, pointing at it shows its help and examples.
QPushButton* TJeloles::makeCodeButton(const ScoreCode& code) {
    auto* button = new CodeButton(QString::fromLatin1(code.face), this);
    button->setObjectName(QStringLiteral("BitBtn") + QString::number(code.number));
    button->setToolTip(code.text());
    QFont face = Widgets::font(QStringLiteral("Arial"), 20);
    face.setBold(true);
    face.setUnderline(code.underlined);
    button->setFont(face);
    button->setFixedSize(46, 36);
    button->setAutoDefault(false);
    button->setMouseTracking(true);
    const int tag = code.number;
    button->pressed = [this, tag] { BitBtn1MouseDown(tag); };
    button->moved = [this, tag](Qt::KeyboardModifiers modifiers) { BitBtn1MouseMove(tag, modifiers); };
    // The wheel scrolls the help the button chose, so a long one is read without the
    // pointer crossing other buttons (which would choose another text).
    button->wheeled = [this](int delta) { emit markingHelpScrolled(delta); };
    return button;
}

void TJeloles::buildCombinations(QVBoxLayout* side) {
    Label1 = new QLabel(QStringLiteral("Kombinációk"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    setBackground(Label1, kLime);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    auto* combinations = new QGridLayout;
    combinations->setHorizontalSpacing(6);
    combinations->setVerticalSpacing(1);
    const QFont labelFont = Widgets::font(QStringLiteral("Arial"), 14);
    for (int k = 1; k <= CombinationList::kLabelCount; ++k) {
        auto* label = new CombinationLabel(QStringLiteral("***"), this);
        label->setObjectName(QStringLiteral("komb_") + QString::number(k));
        label->setCursor(Qt::PointingHandCursor);
        label->setMouseTracking(true);
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumSize(70, 22);
        setBackground(label, kYellow);
        label->moved = [this, k](Qt::KeyboardModifiers modifiers) { komb_1MouseMove(k, modifiers); };
        label->clicked = [this] { komb_1Click(); };
        label->wheeled = [this](int delta) { emit examplesScrolled(delta); };
        combinations->addWidget(label, k <= 9 ? k - 1 : k - 10, k <= 9 ? 0 : 1);
        m_labels[static_cast<size_t>(k - 1)] = label;
    }

    side->addWidget(Label1);
    side->addLayout(combinations);
}

void TJeloles::buildKeys() {
    for (const ScoreCode& code : ScoreCodes::all()) {
        const QString letters = code.text();
        auto* key = new QShortcut(QKeySequence(letters.left(1) + QStringLiteral(", ") + letters.mid(1)), this);
        key->setAutoRepeat(false);
        const int tag = code.number;
        connect(key, &QShortcut::activated, this, [this, tag] { BitBtn1MouseDown(tag); });
    }
    connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, this, &TJeloles::BitBtn15Click);
    connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, this, &TJeloles::BitBtn14Click);
    connect(new QShortcut(QKeySequence(QKeySequence::Delete), this), &QShortcut::activated, this,
            &TJeloles::BitBtn13Click);
    BitBtn14->setToolTip(QStringLiteral("PgUp vagy Ctrl+PgUp"));
    BitBtn15->setToolTip(QStringLiteral("PgDown vagy Ctrl+PgDown"));
}

void TJeloles::takeKeyboard() {
    Widgets::activate(this);
    StringGrid1->setFocus();
}

void TJeloles::showTotal() {
    GCRosszesito->setText(m_session.coding().totalText());
}

void TJeloles::showPicture(int picture) {
    Edit1->setText(QString::number(picture) + QLatin1Char('.'));
    // The highlighted row is the picture the codes go to; the field stays the one pointed at last.
    const QModelIndex current = StringGrid1->currentIndex();
    selectCell(current.isValid() ? current.column() : 1, picture);
    StringGrid1->scrollTo(m_session.grid().index(picture, 0), QAbstractItemView::EnsureVisible);
    for (int k = 1; k <= CombinationList::kLabelCount; ++k) {
        QLabel* label = m_labels[static_cast<size_t>(k - 1)];
        label->setText(CombinationList::labelCaption(picture, k));
        label->setEnabled(CombinationList::labelEnabled(picture, k));
    }
}

void TJeloles::FormActivate() {
    Edit1->setText(QString::number(m_session.currentPicture()) + QLatin1Char('.'));
    showTotal();
}

void TJeloles::showEvent(QShowEvent* event) {
    ToolWindow::showEvent(event);
    showTotal();
}

void TJeloles::changeEvent(QEvent* event) {
    ToolWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TJeloles::BitBtn1MouseDown(int tag) {
    const ScoreCode& code = ScoreCodes::byNumber(tag);
    const int n = m_session.currentPicture();
    switch (m_session.coding().entryFor(n, code)) {
    case Coding::Entry::Duplicate:
        m_platform.beep();
        return;
    case Coding::Entry::NeedsDeletion:
        // Room is made first; the code goes in only when a code was deleted.
        emit deletionWanted(QStringLiteral("Túl sok jel !!!"));
        break;
    case Coding::Entry::Append:
        break;
    }
    m_session.grid().enterCode(n, code);
}

void TJeloles::selectCell(int column, int row) {
    const QModelIndex index = m_session.grid().index(row, column);
    StringGrid1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void TJeloles::BitBtn1MouseMove(int tag, Qt::KeyboardModifiers modifiers) {
    // With Ctrl held the pointer crosses the buttons without disturbing help and examples.
    if (modifiers & Qt::ControlModifier)
        return;
    const int n = m_session.currentPicture();
    const ScoreCode& code = ScoreCodes::byNumber(tag);
    StringGrid1->scrollTo(m_session.grid().index(n, 0), QAbstractItemView::PositionAtTop);
    selectCell(code.column, n);
    m_lastPointed = tag;
    emit markingHelpWanted(tag);
    emit examplesWanted(tag, n, QString());
}

void TJeloles::BitBtn12Click() {
    m_platform.message(QStringLiteral("A Gyermek VKT-ben nem használatos a zárójeles jelölés!"));
}

void TJeloles::BitBtn12MouseMove() {
    selectCell(4, m_session.currentPicture());
}

void TJeloles::BitBtn13Click() {
    emit deletionWanted(QStringLiteral("Törlés!"));
}

void TJeloles::stepPicture(int by) {
    // The selection itself makes the picture current, so a pending answer that cannot be
    // stored leaves the whole window on the old picture.
    reportFailure(m_platform, [&] { m_session.stepPicture(by); });
}

void TJeloles::BitBtn14Click() {
    stepPicture(-1);
}

void TJeloles::BitBtn15Click() {
    stepPicture(1);
}

void TJeloles::komb_1Click() {
    m_platform.message(
        QStringLiteral("A kombinált jelöléseket a jelölőgombokkal\r\negyenként lehet bevinni.A jelek kiválasztásában "
                       "segítenek a példamondatok."));
}

void TJeloles::komb_1MouseMove(int label, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier)
        return;
    for (QLabel* l : m_labels)
        setBackground(l, kYellow);
    QLabel* pointed = m_labels[static_cast<size_t>(label - 1)];
    setBackground(pointed, kLime);
    m_lastPointed = 11 + label;
    m_lastCombination = pointed->text();
    emit examplesWanted(m_lastPointed, m_session.currentPicture(), m_lastCombination);
}

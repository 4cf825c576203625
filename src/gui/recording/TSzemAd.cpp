#include "gui/recording/TSzemAd.h"

#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "base/TextFile.h"
#include "gui/common/QtPlatform.h"
#include "model/AgeBrackets.h"
#include "model/PersonalData.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

TShape::TShape(QWidget* parent) : QWidget(parent), m_colour(Qt::yellow) {
    setFixedSize(15, 15);
}

void TShape::setLook(Form form, const QColor& colour) {
    m_form = form;
    m_colour = colour;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_form == Form::Circle);
    painter.setPen(Qt::black);
    painter.setBrush(m_colour);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    if (m_form == Form::Circle)
        painter.drawEllipse(box);
    else
        painter.drawRect(box);
}

TUpDown::TUpDown(int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum), m_position(position) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFixedSize(17, 11);
        button->setAutoRepeat(true);
        // The field beside the arrows takes Up and Down; the arrows are no tab stops of their own.
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    connect(m_up, &QToolButton::clicked, this, &TUpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &TUpDown::stepDown);
}

void TUpDown::setPosition(int position) {
    m_position = position;
}

void TUpDown::stepUp() {
    step(1);
}

void TUpDown::stepDown() {
    step(-1);
}

void TUpDown::step(int by) {
    // An examination file may bring an age outside the bounds; the arrows then go on from the
    // age shown, and only towards the bounds.
    const int next = qBound(qMin(m_minimum, m_position), m_position + by, qMax(m_maximum, m_position));
    if (next == m_position)
        return;
    m_position = next;
    emit positionChanged(m_position);
}

void TDropDownCombo::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}

namespace {

QLabel* fieldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// The code list compares letters a to z in capitals and leaves every other character alone.
QString upperAsciiLetters(QString text) {
    for (QChar& c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return text;
}

// A stored text longer than a line edit holds is shown cut and read-only, and the session keeps
// it whole: a save must never shorten a field that nobody changed.
bool showWhole(QLineEdit* edit, const QString& text) {
    const bool fits = text.size() <= edit->maxLength();
    edit->setText(text);
    edit->setReadOnly(!fits);
    edit->setToolTip(fits ? QString()
                          : QStringLiteral("Ez a mező %1 karakter, több, mint amennyi itt szerkeszthető; a program "
                                           "változatlanul megőrzi.")
                                .arg(text.size()));
    return fits;
}

} // namespace

TSzemAd::TSzemAd(ExamSession& session, Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_session(session),
      m_platform(platform) {
    setObjectName(QStringLiteral("TSzemAd"));
    setWindowTitle(normalCaption());
    buildControls();
    setFixedSize(sizeHint().expandedTo(QSize(480, 250)));
    // F1 is the "súgó" button's key: while this window is up, modally, the menus' F1 cannot act.
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &TSzemAd::helpWanted);

    // FormCreate: the sex and the age start from what the controls show.
    m_session.setSex(PersonalData::Sex::Boy);
    Edit2Change();
    connect(&m_session, &ExamSession::personalDataReplaced, this, [this] { showPersonalData(m_session.personal()); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TSzemAd::Timer1Timer);
    Timer1->start();
}

void TSzemAd::buildControls() {
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns);
    auto* grid = new QGridLayout;
    columns->addLayout(grid, 1);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    // In the order of the keyboard's way through them.
    buildNameAndCode(grid);
    buildSexAndAge(grid);
    buildDateAndExaminer(grid);
    grid->setColumnStretch(1, 1);
    columns->addWidget(buildPhoto(), 0, Qt::AlignTop);
    outer->addStretch(1);
    outer->addLayout(buildButtons());

    connect(Edit1, &QLineEdit::textChanged, this, &TSzemAd::Edit1Change);
    connect(Edit4, &QLineEdit::textChanged, this, &TSzemAd::upperCaseCode);
    connect(Edit2, &QLineEdit::textChanged, this, &TSzemAd::Edit2Change);
    connect(UpDown1, &TUpDown::positionChanged, this, &TSzemAd::UpDown1Changing);
    connect(Edit3, &QLineEdit::textChanged, this, &TSzemAd::Edit3Change);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TSzemAd::ComboBox1Change);
    connect(ComboBox1, &TDropDownCombo::dropDown, this, &TSzemAd::ComboBox1DropDown);
}

void TSzemAd::buildNameAndCode(QGridLayout* grid) {
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    grid->addWidget(fieldLabel(QStringLiteral("A Vsz. neve:"), this), 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 3);

    auto* codeLabel = new QWidget(this);
    auto* codeRow = new QHBoxLayout(codeLabel);
    codeRow->setContentsMargins(0, 0, 0, 0);
    Shape1 = new TShape(codeLabel);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->hide();
    codeRow->addStretch(1);
    codeRow->addWidget(Shape1);
    codeRow->addWidget(fieldLabel(QStringLiteral("A Vsz. kódja:"), codeLabel));
    Edit4 = new QLineEdit(this);
    Edit4->setObjectName(QStringLiteral("Edit4"));
    grid->addWidget(codeLabel, 1, 0);
    grid->addWidget(Edit4, 1, 1, 1, 3);
}

void TSzemAd::buildSexAndAge(QGridLayout* grid) {
    auto* sexGroup = new QGroupBox(QStringLiteral("Neme"), this);
    sexGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto* sexRow = new QHBoxLayout(sexGroup);
    RadioButton1 = new QRadioButton(QStringLiteral("fiú"), sexGroup);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("lány"), sexGroup);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    sexRow->addWidget(RadioButton1);
    sexRow->addWidget(RadioButton2);
    grid->addWidget(sexGroup, 2, 0, 1, 2, Qt::AlignTop);

    // The arrows step within the ages the norms cover, from the age a new examination starts with.
    const int age = PersonalData().age;
    auto* ageBox = new QWidget(this);
    auto* ageRow = new QHBoxLayout(ageBox);
    ageRow->setContentsMargins(0, 0, 0, 0);
    ageRow->setSpacing(1);
    Edit2 = new QLineEdit(QString::number(age), ageBox);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), Edit2));
    Edit2->installEventFilter(this);
    Edit2->setFixedWidth(36);
    Edit2->setAlignment(Qt::AlignRight);
    UpDown1 = new TUpDown(AgeBrackets::kYoungest, AgeBrackets::kOldest, age, ageBox);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    ageRow->addWidget(Edit2);
    ageRow->addWidget(UpDown1);
    ageRow->addWidget(new QLabel(QStringLiteral("életkora."), ageBox));
    ageRow->addStretch(1);
    grid->addWidget(ageBox, 2, 2, 1, 2, Qt::AlignVCenter);
}

void TSzemAd::buildDateAndExaminer(QGridLayout* grid) {
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->installEventFilter(this);
    grid->addWidget(fieldLabel(QStringLiteral("A vizsg. időpontja:"), this), 3, 0);
    grid->addWidget(Edit3, 3, 1, 1, 3);

    ComboBox1 = new TDropDownCombo(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->lineEdit()->setPlaceholderText(QStringLiteral("válasszon a listából"));
    ComboBox1->lineEdit()->installEventFilter(this);
    ComboBox1->setEditText(QString());
    grid->addWidget(fieldLabel(QStringLiteral("Vizsgálatvezető:"), this), 4, 0);
    grid->addWidget(ComboBox1, 4, 1, 1, 3);
}

QWidget* TSzemAd::buildPhoto() {
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* bevelLayout = new QVBoxLayout(bevel);
    bevelLayout->setContentsMargins(3, 3, 3, 3);
    Image1 = new QLabel(bevel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(102, 126);
    Image1->setScaledContents(true);
    bevelLayout->addWidget(Image1);
    return bevel;
}

QLayout* TSzemAd::buildButtons() {
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("rendben"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    auto* help = new QPushButton(QStringLiteral("&súgó"), this);
    help->setObjectName(QStringLiteral("BitBtn2"));
    help->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(help);
    connect(ok, &QPushButton::clicked, this, &TSzemAd::BitBtn1Click);
    connect(help, &QPushButton::clicked, this, &TSzemAd::helpWanted);
    return buttons;
}

QString TSzemAd::normalCaption() {
    return QStringLiteral("Gyermek VKT személyi adatok");
}

QString TSzemAd::warningCaption(const QString& code) {
    return QStringLiteral("felülírásra kerül: ") + code + QStringLiteral(".kvx");
}

void TSzemAd::showPersonalData(const PersonalData& shown) {
    // The handlers below write into the session, which may be where the data comes from.
    const PersonalData data = shown;
    // Each handler stores its field once, after every control shows the new data.
    bool nameWhole = true;
    bool dateWhole = true;
    bool examinerWhole = true;
    {
        const QSignalBlocker b1(Edit1), b4(Edit4), b2(Edit2), b3(Edit3), bc(ComboBox1);
        nameWhole = showWhole(Edit1, data.name);
        Edit4->setText(data.code.toUpper());
        Edit2->setText(QString::number(data.age));
        UpDown1->setPosition(data.age);
        dateWhole = showWhole(Edit3, data.date);
        examinerWhole = showWhole(ComboBox1->lineEdit(), data.examiner);
        RadioButton1->setChecked(data.sex == PersonalData::Sex::Boy);
        RadioButton2->setChecked(data.sex != PersonalData::Sex::Boy);
    }
    if (nameWhole)
        Edit1Change();
    else
        m_session.setName(data.name);
    Edit4Change();
    // The lamp warns of an edit of the code; a code an examination brings is no such edit.
    Shape1->hide();
    Edit2Change();
    if (dateWhole)
        Edit3Change();
    else
        m_session.setDate(data.date);
    if (examinerWhole)
        ComboBox1Change();
    else
        m_session.setExaminer(data.examiner);
    m_session.setSex(data.sex);
}

void TSzemAd::setExaminationDate(const QString& text) {
    Edit3->setText(text);
}

void TSzemAd::Edit1Change() {
    m_session.setName(Edit1->text());
}

void TSzemAd::upperCaseCode() {
    const QString upper = Edit4->text().toUpper();
    if (upper != Edit4->text()) {
        const int cursor = Edit4->cursorPosition();
        Edit4->setText(upper); // comes back here with the capitals
        Edit4->setCursorPosition(qMin(cursor, static_cast<int>(upper.size())));
        return;
    }
    Edit4Change();
}

void TSzemAd::Edit4Change() {
    const QString code = Edit4->text();
    showPhoto(code);
    Shape1->hide();
    for (const QString& entry : std::as_const(m_archiveCodes)) {
        if (upperAsciiLetters(entry) == code) {
            Shape1->show();
            setWindowTitle(warningCaption(code));
            break;
        }
    }
    m_session.setCode(code);
}

bool TSzemAd::loadPicture(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    Image1->setPixmap(QPixmap::fromImage(image));
    return true;
}

void TSzemAd::showPhoto(const QString& code) {
    const QString photo = m_session.root().photoFile(code);
    const QString noPhoto = m_session.root().noPhotoFile();
    if (QFile::exists(photo)) {
        // A photo that cannot be decoded must not leave the previous child's face on show.
        if (!loadPicture(photo) && !loadPicture(noPhoto))
            Image1->clear();
    } else if (QFile::exists(noPhoto)) {
        loadPicture(noPhoto);
    }
}

void TSzemAd::Edit2Change() {
    bool ok = false;
    const int age = Edit2->text().trimmed().toInt(&ok);
    if (!ok)
        return;
    m_session.setAge(age);
    UpDown1->setPosition(age);
}

void TSzemAd::UpDown1Changing(int position) {
    Edit2->setText(QString::number(position));
}

void TSzemAd::Edit3Change() {
    m_session.setDate(Edit3->text());
}

void TSzemAd::ComboBox1Change() {
    m_session.setExaminer(ComboBox1->currentText());
}

void TSzemAd::BitBtn1Click() {
    m_session.setSex(RadioButton1->isChecked() ? PersonalData::Sex::Boy : PersonalData::Sex::Girl);
    accept();
}

void TSzemAd::reject() {}

void TSzemAd::closeEvent(QCloseEvent* event) {
    // Everything is stored as it is typed: the close box leaves the window as "rendben" does.
    BitBtn1Click();
    event->accept();
}

void TSzemAd::Timer1Timer() {
    if (Shape1->form() == TShape::Form::Square) {
        Shape1->setLook(TShape::Form::Circle, QColor(0, 255, 0));
        return;
    }
    Shape1->setLook(TShape::Form::Square, Qt::yellow);
    if (!Shape1->isHidden()) {
        const QString warning = warningCaption(Edit4->text());
        setWindowTitle(windowTitle() == warning ? QString() : warning);
    } else {
        setWindowTitle(normalCaption());
    }
}

void TSzemAd::FormActivate() {
    if (!m_archiveFiles) {
        m_archiveFiles = QDir(m_session.root().archiveFolder())
                             .entryList({QStringLiteral("*.kvx")}, QDir::Files | QDir::Hidden, QDir::Name);
    }
    m_archiveCodes.clear();
    for (const QString& file : std::as_const(*m_archiveFiles))
        m_archiveCodes.append(file.left(file.indexOf(QLatin1Char('.'))));
    setWindowTitle(normalCaption());
    Shape1->hide();
}

bool TSzemAd::event(QEvent* event) {
    if (m_activation.counts(event))
        FormActivate();
    return QDialog::event(event);
}

void TSzemAd::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    FormActivate();
    QDialog::showEvent(event);
}

bool TSzemAd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            if (key == Qt::Key_Up)
                UpDown1->stepUp();
            else
                UpDown1->stepDown();
            return true;
        }
    }
    const bool release = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    const bool leftButton = (release || doubleClick) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (watched == Edit3 && leftButton) {
        // The calendar runs modally, so it opens once the field has finished with the event;
        // the clicks of one double click open it once.
        const DateRequest request = doubleClick ? DateRequest::DoubleClick : DateRequest::Click;
        if (m_dateRequest == DateRequest::None)
            QTimer::singleShot(0, this, &TSzemAd::runDateRequest);
        m_dateRequest = qMax(m_dateRequest, request);
    } else if (watched == ComboBox1->lineEdit() && leftButton && doubleClick) {
        QTimer::singleShot(0, this, &TSzemAd::Button1Click);
    }
    return QDialog::eventFilter(watched, event);
}

void TSzemAd::runDateRequest() {
    const DateRequest request = m_dateRequest;
    m_dateRequest = DateRequest::None;
    if (request == DateRequest::DoubleClick)
        Edit3DblClick();
    else if (request == DateRequest::Click)
        Edit3Click();
}

void TSzemAd::Edit3Click() {
    if (Edit3->text().isEmpty())
        emit calendarWanted();
}

void TSzemAd::Edit3DblClick() {
    emit calendarWanted();
}

void TSzemAd::ComboBox1DropDown() {
    QStringList names;
    if (!reportFailure(m_platform, [&] { names = TextFile::loadLines(m_session.root().examinerList()); }))
        return;
    // Refilling the list must not replace what the field shows.
    const QString shown = ComboBox1->currentText();
    const QSignalBlocker blocker(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(shown);
}

void TSzemAd::Button1Click() {
    emit examinerListWanted();
}

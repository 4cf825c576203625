#include "gui/shell/Tfomenu.h"

#include "app/Commands.h"
#include "base/DataRoot.h"
#include "gui/shell/Arrangements.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSessionManager>

Tfomenu::Tfomenu(const DataRoot& root, Commands& commands, Arrangements& arrangements, QWidget* parent)
    : QMainWindow(parent), m_commands(commands), m_arrangements(arrangements) {
    setObjectName(QStringLiteral("Tfomenu"));
    setWindowTitle(QStringLiteral("Tavrix gyermek VKT"));
    resize(1024, 700);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    buildBackground(root, central);
    buildPasswordPanel(central);
    buildMenus();
}

void Tfomenu::buildBackground(const DataRoot& root, QWidget* central) {
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    Image1 = new QLabel(central);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setMinimumSize(1, 1);
    Image1->setAutoFillBackground(true);
    QPalette calm = Image1->palette();
    calm.setColor(QPalette::Window, QColor(0x3a, 0x5f, 0x7d));
    Image1->setPalette(calm);
    const QString background = root.gyVkt(QStringLiteral("hatter.bmp"));
    if (QFile::exists(background)) {
        QPixmap picture(background);
        if (!picture.isNull())
            Image1->setPixmap(picture);
    }
    layout->addWidget(Image1);
}

void Tfomenu::buildPasswordPanel(QWidget* central) {
    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(5, 5, 164, 40);
    Panel1->setAutoFillBackground(true);
    QPalette pale = Panel1->palette();
    pale.setColor(QPalette::Window, QColor(248, 247, 199));
    pale.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(pale);

    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);
    Label5 = new QLabel(QStringLiteral("jelszó:"), Panel1);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setEchoMode(QLineEdit::Password);
    row->addWidget(Label5);
    row->addWidget(Edit1, 1);
    Panel1->raise();

    connect(Edit1, &QLineEdit::textChanged, this, &Tfomenu::Edit1Change);
}

QMenu* Tfomenu::addMenu(const QString& title, const char* name) {
    QMenu* menu = menuBar()->addMenu(title);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
    menu->setEnabled(false);
    menu->menuAction()->setEnabled(false);
    return menu;
}

QAction* Tfomenu::addItem(QMenu* menu, const QString& text, const char* name, void (Tfomenu::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void Tfomenu::addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

void Tfomenu::buildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));

    nn1 = addMenu(QStringLiteral("&File"), "nn1");
    addItem(nn1, QStringLiteral("Új vizsgálat"), "jvizsglat1", &Tfomenu::jvizsglat1Click)
        ->setShortcut(QKeySequence::New);
    addSeparator(nn1, "N4");
    addItem(nn1, QStringLiteral("Mentés"), "Ment1", &Tfomenu::Ment1Click)->setShortcut(QKeySequence::Save);
    addSeparator(nn1, "N3");
    Betlt1 = addItem(nn1, QStringLiteral("Megnyitás"), "Betlt1", &Tfomenu::Betlt1Click);
    Betlt1->setEnabled(false);
    Archivum1 = addItem(nn1, QStringLiteral("Archívum…"), "Archivum1", &Tfomenu::Archivum1Click);
    Archivum1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    // The tool windows have the keyboard most of the time; the shortcut works from them too.
    Archivum1->setShortcutContext(Qt::ApplicationShortcut);
    Archivum1->setEnabled(false);
    Exportals1 = addItem(nn1, QStringLiteral("Exportálás CSV-be…"), "Exportals1", &Tfomenu::Exportals1Click);
    Exportals1->setEnabled(false);
    addItem(nn1, QStringLiteral("Biztonsági mentés…"), "Biztonsgimentes1", &Tfomenu::Biztonsgimentes1Click);
    addSeparator(nn1, "N8");
    Nyomtats1 = addItem(nn1, QStringLiteral("Nyomtatás…"), "Nyomtats1", &Tfomenu::Nyomtats1Click);
    Nyomtats1->setShortcut(QKeySequence::Print);
    JegyzknyvPDFbe1 =
        addItem(nn1, QStringLiteral("Jegyzőkönyv PDF-be…"), "JegyzknyvPDFbe1", &Tfomenu::JegyzknyvPDFbe1Click);
    addSeparator(nn1, "N1");
    addItem(nn1, QStringLiteral("Ablakkonfiguráció mentése"), "Ablakkonfigurcimentse1",
            &Tfomenu::Ablakkonfigurcimentse1Click);
    addSeparator(nn1, "N2");
    addItem(nn1, QStringLiteral("KIlép"), "KIlp1", &Tfomenu::KIlp1Click);

    Vizsglat1 = addMenu(QStringLiteral("&Vizsgálat"), "Vizsglat1");
    addItem(Vizsglat1, QStringLiteral("Szem. adatok"), "Szemadatok1", &Tfomenu::Szemadatok1Click);
    addSeparator(Vizsglat1, "N5");
    Felvtel1 = addItem(Vizsglat1, QStringLiteral("Felvétel"), "Felvtel1", &Tfomenu::Felvtel1Click);
    Felvtel1->setCheckable(true);
    Jells1 = addItem(Vizsglat1, QStringLiteral("Jelölés"), "Jells1", &Tfomenu::Jells1Click);
    Jells1->setCheckable(true);
    addSeparator(Vizsglat1, "N7");
    addItem(Vizsglat1, QStringLiteral("Kész jegyzőkönyv"), "Kszjegyzknyv1", &Tfomenu::Kszjegyzknyv1Click);
    Profil1 = addItem(Vizsglat1, QStringLiteral("Profil"), "Profil1", &Tfomenu::Profil1Click);
    // The answer window's editor needs PgDown and PgUp itself; with Ctrl they step the pictures
    // from every window of the arrangements.
    addSeparator(Vizsglat1, "N10");
    addItem(Vizsglat1, QStringLiteral("Következő kép"), "Kovetkezokep1", &Tfomenu::Kovetkezokep1Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    addItem(Vizsglat1, QStringLiteral("Előző kép"), "Elozokep1", &Tfomenu::Elozokep1Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    addItem(Vizsglat1, QStringLiteral("Válaszablak / jelölőablak"), "Valtas1", &Tfomenu::Valtas1Click)
        ->setShortcut(QKeySequence(Qt::Key_F6));
    // Like "Megnyitás" they wait for the password; Ctrl+P must not print before it either.
    for (QAction* locked : {Nyomtats1, JegyzknyvPDFbe1, Profil1})
        locked->setEnabled(false);

    Belltsok1 = addMenu(QStringLiteral("Beállítások"), "Belltsok1");
    addItem(Belltsok1, QStringLiteral("Jelszó"), "Jelsz1", &Tfomenu::Jelsz1Click);

    Ablakok = addMenu(QStringLiteral("&Súgó"), "Ablakok");
    QAction* guide =
        addItem(Ablakok, QStringLiteral("Útmutató a VKT alkalmazásához"), "Dominelrend1", &Tfomenu::Dominelrend1Click);
    guide->setShortcut(QKeySequence::HelpContents);
    // The archive and the protocol window are dialogs of their own; F1 works there too.
    guide->setShortcutContext(Qt::ApplicationShortcut);
    addItem(Ablakok, QStringLiteral("A jelölés"), "Ajells1", &Tfomenu::Ajells1Click);
    addItem(Ablakok, QStringLiteral("Feldolgozás"), "Feldolgozs1", &Tfomenu::Feldolgozs1Click);
    addItem(Ablakok, QStringLiteral("Az eredmények értelmezése"), "Azeredmnyekrtelmezse1",
            &Tfomenu::Azeredmnyekrtelmezse1Click);
    addItem(Ablakok, QStringLiteral("A VKT szituációs elemzése"), "AVKTszituciselemzse1",
            &Tfomenu::AVKTszituciselemzse1Click);
    addSeparator(Ablakok, "N6");
    addItem(Ablakok, QStringLiteral("a program névjegye"), "aprogramnvjegye1", &Tfomenu::aprogramnvjegye1Click);
}

void Tfomenu::setArrangementChecks(bool recording, bool marking) {
    Felvtel1->setChecked(recording);
    Jells1->setChecked(marking);
}

void Tfomenu::enterPassword(const QString& text) {
    Edit1->setText(text);
}

void Tfomenu::Edit1Change() {
    if (!m_unlocked && m_commands.passwordEntered(Edit1->text()))
        unlock();
}

void Tfomenu::unlock() {
    m_unlocked = true;
    Panel1->hide();
    for (QMenu* menu : {nn1, Vizsglat1, Belltsok1, Ablakok}) {
        menu->setEnabled(true);
        menu->menuAction()->setEnabled(true);
    }
    Betlt1->setEnabled(true);
    Archivum1->setEnabled(true);
    for (QAction* locked : {Nyomtats1, JegyzknyvPDFbe1, Profil1})
        locked->setEnabled(true);
    Exportals1->setEnabled(true);
    emit unlocked();
}

void Tfomenu::closeEvent(QCloseEvent* event) {
    if (!m_closeAgreed && !m_commands.closeQuery()) {
        event->ignore();
        return;
    }
    m_closeAgreed = true;
    event->accept();
    emit closeAccepted();
}

void Tfomenu::sessionEnding(QSessionManager& manager) {
    if (m_closeAgreed || !manager.allowsInteraction())
        return;
    if (m_commands.closeQuery()) {
        m_closeAgreed = true;
        manager.release();
        emit closeAccepted();
    } else {
        manager.cancel();
    }
}

void Tfomenu::jvizsglat1Click() {
    m_commands.newExamination();
}

void Tfomenu::Ment1Click() {
    m_commands.save();
}

void Tfomenu::Betlt1Click() {
    m_commands.openFromDialog();
}

void Tfomenu::Archivum1Click() {
    emit archiveWanted();
}

void Tfomenu::Exportals1Click() {
    m_commands.exportArchive();
}

void Tfomenu::Biztonsgimentes1Click() {
    emit backupWanted();
}

void Tfomenu::Ablakkonfigurcimentse1Click() {
    m_arrangements.saveLayout();
}

void Tfomenu::KIlp1Click() {
    close();
}

void Tfomenu::Szemadatok1Click() {
    m_commands.showPersonalData();
}

void Tfomenu::Kovetkezokep1Click() {
    m_commands.stepPicture(1);
}

void Tfomenu::Elozokep1Click() {
    m_commands.stepPicture(-1);
}

void Tfomenu::Valtas1Click() {
    m_arrangements.switchKeyboard();
}

void Tfomenu::Felvtel1Click() {
    m_arrangements.recording();
}

void Tfomenu::Jells1Click() {
    m_arrangements.marking();
}

void Tfomenu::Kszjegyzknyv1Click() {
    m_commands.finishedProtocol();
}

void Tfomenu::Profil1Click() {
    emit profileWanted();
}

void Tfomenu::Nyomtats1Click() {
    emit printWanted();
}

void Tfomenu::JegyzknyvPDFbe1Click() {
    emit pdfWanted();
}

void Tfomenu::Jelsz1Click() {
    emit passwordChangeWanted();
}

void Tfomenu::Dominelrend1Click() {
    emit windowHelpWanted(QApplication::activeWindow());
}

void Tfomenu::Ajells1Click() {
    emit helpChapterWanted(2);
}

void Tfomenu::Feldolgozs1Click() {
    emit helpChapterWanted(3);
}

void Tfomenu::Azeredmnyekrtelmezse1Click() {
    emit helpChapterWanted(4);
}

void Tfomenu::AVKTszituciselemzse1Click() {
    emit helpChapterWanted(5);
}

void Tfomenu::aprogramnvjegye1Click() {
    emit aboutWanted();
}

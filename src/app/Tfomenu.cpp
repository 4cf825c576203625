#include "app/Tfomenu.h"

#include "app/GuiCommands.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "app/PasswordStore.h"
#include "app/TAboutForm.h"
#include "app/TPwForm.h"
#include "exam/Examination.h"
#include "exam/ExaminationFile.h"
#include "helptexts/THelpAblak.h"
#include "platform/FileError.h"
#include "recording/TSzemAd.h"
#include "recording/Tvalasz.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

Tfomenu::Tfomenu(AppState& state, Forms& forms, QWidget* parent) : QMainWindow(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("Tfomenu"));
    setWindowTitle(QStringLiteral("Tavrix gyermek VKT"));
    resize(1024, 700);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
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
    const QString background = m_state.root.gyVkt(QStringLiteral("hatter.bmp"));
    if (QFile::exists(background)) {
        QPixmap picture(background);
        if (!picture.isNull())
            Image1->setPixmap(picture);
    }
    layout->addWidget(Image1);

    buildPasswordPanel(central);
    buildMenus();
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
    addItem(nn1, QStringLiteral("Új vizsgálat"), "jvizsglat1", &Tfomenu::jvizsglat1Click);
    addSeparator(nn1, "N4");
    addItem(nn1, QStringLiteral("Mentés"), "Ment1", &Tfomenu::Ment1Click);
    addSeparator(nn1, "N3");
    Betlt1 = addItem(nn1, QStringLiteral("Megnyitás"), "Betlt1", &Tfomenu::Betlt1Click);
    Betlt1->setEnabled(false);
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

    Belltsok1 = addMenu(QStringLiteral("Beállítások"), "Belltsok1");
    addItem(Belltsok1, QStringLiteral("Jelszó"), "Jelsz1", &Tfomenu::Jelsz1Click);

    Ablakok = addMenu(QStringLiteral("&Súgó"), "Ablakok");
    addItem(Ablakok, QStringLiteral("Útmutató a VKT alkalmazásához"), "Dominelrend1", &Tfomenu::Dominelrend1Click);
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
    if (m_unlocked || Edit1->text() != m_state.programPassword)
        return;
    QString file;
    const QStringList& arguments = m_state.arguments;
    if (arguments.size() == 1)
        file = arguments.at(0);
    else if (arguments.size() == 2 &&
             PasswordStore::parseParameter(arguments.at(0)).key == PasswordStore::handoverKey())
        file = arguments.at(1);
    // The file is tried once; whether it opens or not, the examiner has given the right
    // password and gets the program (an unreadable file must not lock them out).
    if (!file.isEmpty() && !m_commandLineFileTried) {
        m_commandLineFileTried = true;
        openExaminationFile(file);
    }
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
}

bool Tfomenu::openExaminationFile(const QString& path) {
    try {
        const ExaminationData data = ExaminationFile::read(path);
        Examination::apply(m_state.root, data, m_state.personal, m_state.grid);
        m_forms.szemAd->showPersonalData(data.personal);
        // The answer window still holds the previous examination's text; an edit left there
        // would otherwise be written over the answer just read in.
        m_forms.valasz->reloadAnswer();
    } catch (const FileError& e) {
        m_state.platform.message(e.text());
        return false;
    }
    m_forms.szemAd->exec();
    return true;
}

bool Tfomenu::saveExamination() {
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*");
    dialog.defaultSuffix = QStringLiteral("kvx");
    dialog.initialFolder = m_state.root.archiveFolder();
    dialog.fileName = m_state.personal.code;
    dialog.overwritePrompt = true;
    const QString path = m_state.platform.saveFileName(dialog);
    if (path.isEmpty())
        return true;
    try {
        // An answer still being typed belongs to the examination being saved.
        m_forms.valasz->savePendingAnswer();
        ExaminationFile::write(path, Examination::collect(m_state.root, m_state.personal, m_state.grid));
    } catch (const FileError& e) {
        m_state.platform.message(e.text());
        return false;
    }
    return true;
}

void Tfomenu::closeEvent(QCloseEvent* event) {
    if (!m_state.platform.confirm(QStringLiteral("Ki akar lépni a Gyermek VKT programból?"))) {
        event->ignore();
        return;
    }
    if (m_state.platform.confirm(QStringLiteral("El akarja menteni az aktuális vizsgálatot?")) && !saveExamination()) {
        event->ignore();
        return;
    }
    // The answer being typed goes to its file, so the next start finds it in the working folder.
    try {
        m_forms.valasz->savePendingAnswer();
    } catch (const FileError& e) {
        m_state.platform.message(e.text());
        event->ignore();
        return;
    }
    event->accept();
    emit closeAccepted();
}

void Tfomenu::jvizsglat1Click() {
    Commands::newExamination(m_state, m_forms);
}

void Tfomenu::Ment1Click() {
    saveExamination();
}

void Tfomenu::Betlt1Click() {
    Commands::openExamination(m_state, m_forms);
}

void Tfomenu::Ablakkonfigurcimentse1Click() {
    Commands::saveLayout(m_state, m_forms);
}

void Tfomenu::KIlp1Click() {
    close();
}

void Tfomenu::Szemadatok1Click() {
    m_forms.szemAd->show();
    m_forms.szemAd->raise();
    m_forms.szemAd->activateWindow();
}

void Tfomenu::Felvtel1Click() {
    Commands::recordingArrangement(m_state, m_forms);
}

void Tfomenu::Jells1Click() {
    Commands::markingArrangement(m_state, m_forms);
}

void Tfomenu::Kszjegyzknyv1Click() {
    Commands::finishedProtocol(m_state, m_forms);
}

void Tfomenu::Jelsz1Click() {
    m_forms.pwForm->exec();
}

void Tfomenu::Dominelrend1Click() {
    m_forms.helpAblak->showChapter(1);
}

void Tfomenu::Ajells1Click() {
    m_forms.helpAblak->showChapter(2);
}

void Tfomenu::Feldolgozs1Click() {
    m_forms.helpAblak->showChapter(3);
}

void Tfomenu::Azeredmnyekrtelmezse1Click() {
    m_forms.helpAblak->showChapter(4);
}

void Tfomenu::AVKTszituciselemzse1Click() {
    m_forms.helpAblak->showChapter(5);
}

void Tfomenu::aprogramnvjegye1Click() {
    m_forms.aboutForm->exec();
}

#include "gui/shell/Program.h"

#include "app/BackupReminder.h"
#include "app/ErrorBoundary.h"
#include "gui/archive/TArchivum.h"
#include "gui/backup/BackupCommand.h"
#include "gui/backup/TMentes.h"
#include "gui/childscreen/ChildScreenCommand.h"
#include "gui/common/NormalStateKeeper.h"
#include "gui/comparison/TOsszehasonlitas.h"
#include "gui/helptexts/THelpAblak.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/helptexts/Tvv_instr.h"
#include "gui/marking/TJelCsere.h"
#include "gui/marking/TJeloles.h"
#include "gui/paper/TJegyzokonyv.h"
#include "gui/paper/TProfil.h"
#include "gui/recording/TKalend.h"
#include "gui/recording/TKepForm.h"
#include "gui/recording/TSzemAd.h"
#include "gui/recording/TVV_lista.h"
#include "gui/recording/Tvalasz.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/TPwForm.h"
#include "gui/shell/Tfomenu.h"

Program::Program(const DataRoot& root, Platform& platform, const QStringList& parameters)
    : m_session(root), m_platform(platform), m_commands(m_session, platform, m_windows),
      m_arrangements(m_session, platform, m_windows), m_paper(m_session, platform, m_commands) {
    m_commands.setCommandLine(CommandLine::parse(parameters));
    ProgramWindows& w = m_windows;
    w.fomenu = new Tfomenu(root, m_commands, m_arrangements);
    new NormalStateKeeper(w.fomenu);
    m_childScreen = std::make_unique<ChildScreenCommand>(m_session, platform, w.fomenu);
    m_childScreen->addItemsTo(w.fomenu->examinationMenu());
    setMakers();
    connectMainWindow();
    // What these do at creation is seen at start: the answer and picture windows load the first
    // picture and its answer, the instruction window its text, each reporting a file it cannot
    // read, and the personal data window takes part in every examination that comes in. They
    // are made at start, in this order; the others when first needed.
    w.valasz();
    reportFailure(m_platform, [this] { m_session.loadKey(); });
    w.szemAd();
    w.vvInstr();
    w.kepForm();
    m_childScreen->closeWithEscapeIn({w.fomenu, w.valasz(), w.kepForm(), w.vvInstr()});
}

Program::~Program() = default;

BackupCommand& Program::backup() {
    if (!m_backup)
        m_backup = std::make_unique<BackupCommand>(m_session.root(), m_platform, *m_windows.mentes());
    return *m_backup;
}

void Program::setMakers() {
    const DataRoot& root = m_session.root();
    ProgramWindows& w = m_windows;
    ExamSession& s = m_session;
    Platform& p = m_platform;
    QWidget* owner = w.fomenu;
    w.valasz.setMaker([&s, &p, owner] { return new Tvalasz(s, p, owner); });
    w.jeloles.setMaker([this] { return makeJeloles(); });
    // The examiner closes the child's screen with Escape from the windows of the examination.
    w.infoKeret.setMaker([this, &root, &p, owner] {
        auto* infoKeret = new TInfoKeret(root, p, owner);
        m_childScreen->closeWithEscapeIn({infoKeret});
        return infoKeret;
    });
    w.peldatar.setMaker([this, &root, &p, owner] {
        auto* peldatar = new TPeldatar(root, p, owner);
        m_childScreen->closeWithEscapeIn({peldatar});
        return peldatar;
    });
    w.szemAd.setMaker([this] { return makeSzemAd(); });
    w.helpAblak.setMaker([&root, &p, owner] { return new THelpAblak(root, p, owner); });
    w.vvLista.setMaker([&root, &p, &w] { return new TVV_lista(root, p, w.szemAd()); });
    w.kalend.setMaker([&p, &w, owner] {
        auto* kalend = new TKalend(p, owner);
        QObject::connect(kalend, &TKalend::datePicked, kalend,
                         [&w](const QString& text) { w.szemAd()->setExaminationDate(text); });
        return kalend;
    });
    w.vvInstr.setMaker([&root, &p, owner] { return new Tvv_instr(root, p, owner); });
    w.jelCsere.setMaker([&s, owner] { return new TJelCsere(s, owner); });
    w.kevesValasz.setMaker([owner] { return new TKevesValasz(owner); });
    w.kepForm.setMaker([&s, &p, owner] { return new TKepForm(s, p, owner); });
    w.aboutForm.setMaker([&root, owner] { return new TAboutForm(root, owner); });
    w.pwForm.setMaker([this, owner] { return new TPwForm(m_commands, owner); });
    w.profil.setMaker([&s, owner] { return new TProfil(s, owner); });
    w.archivum.setMaker([this, owner] {
        auto* archivum = new TArchivum(m_session, m_commands, m_platform, owner);
        QObject::connect(archivum, &TArchivum::comparisonWanted, archivum,
                         [this](const QStringList& paths) { m_windows.osszehasonlitas()->showComparison(paths); });
        return archivum;
    });
    w.osszehasonlitas.setMaker([this, owner] { return new TOsszehasonlitas(m_session, m_platform, m_paper, owner); });
    w.mentes.setMaker([&p, owner] { return new TMentes(p, owner); });
    w.jegyzokonyv.setMaker([this, &p, owner] { return new TJegyzokonyv(m_paper, p, owner); });
}

// Windows ask one another for help through signals, so none of them holds another; a window
// asked for is made then.
TJeloles* Program::makeJeloles() {
    ProgramWindows& w = m_windows;
    auto* jeloles = new TJeloles(m_session, m_platform, w.fomenu);
    m_childScreen->closeWithEscapeIn({jeloles});
    QObject::connect(jeloles, &TJeloles::markingHelpWanted, jeloles,
                     [&w](int code) { w.infoKeret()->showMarkingHelp(code); });
    QObject::connect(jeloles, &TJeloles::examplesWanted, jeloles,
                     [&w](int number, int picture, const QString& combination) {
                         w.peldatar()->showExamples(number, picture, combination);
                     });
    QObject::connect(jeloles, &TJeloles::deletionWanted, jeloles,
                     [&w](const QString& caption) { w.jelCsere()->run(caption); });
    QObject::connect(jeloles, &TJeloles::markingHelpScrolled, jeloles,
                     [&w](int angle) { w.infoKeret()->scrollText(angle); });
    QObject::connect(jeloles, &TJeloles::examplesScrolled, jeloles,
                     [&w](int angle) { w.peldatar()->scrollText(angle); });
    return jeloles;
}

TSzemAd* Program::makeSzemAd() {
    ProgramWindows& w = m_windows;
    auto* szemAd = new TSzemAd(m_session, m_platform, w.fomenu);
    QObject::connect(szemAd, &TSzemAd::calendarWanted, szemAd, [&w] { w.kalend()->exec(); });
    QObject::connect(szemAd, &TSzemAd::examinerListWanted, szemAd,
                     [&w] { w.vvLista()->openList(QStringLiteral("vv")); });
    // While the personal data are up, modally, only their own children take input: the help
    // comes up as one of them, and goes back to the main window when they close.
    QObject::connect(szemAd, &TSzemAd::helpWanted, szemAd, [&w, szemAd] {
        THelpAblak* help = w.helpAblak();
        help->setParent(szemAd, help->windowFlags());
        help->showChapterAt(1, QStringLiteral("A személyi adatok ablakában"));
    });
    QObject::connect(szemAd, &QDialog::finished, szemAd, [&w, szemAd] {
        THelpAblak* help = w.helpAblak.made();
        if (!help || help->parentWidget() != szemAd)
            return;
        const bool shown = help->isVisible();
        const QRect place = help->geometry();
        help->setParent(w.fomenu, help->windowFlags());
        help->setGeometry(place);
        help->setVisible(shown);
    });
    return szemAd;
}

void Program::connectMainWindow() {
    ProgramWindows& w = m_windows;
    Tfomenu* menu = w.fomenu;
    QObject::connect(menu, &Tfomenu::helpChapterWanted, menu,
                     [&w](int chapter) { w.helpAblak()->showChapter(chapter); });
    QObject::connect(menu, &Tfomenu::windowHelpWanted, menu, [this](QWidget* window) { showHelpFor(window); });
    QObject::connect(menu, &Tfomenu::aboutWanted, menu, [&w] { w.aboutForm()->exec(); });
    QObject::connect(menu, &Tfomenu::passwordChangeWanted, menu, [&w] { w.pwForm()->exec(); });
    // The profile window shows only what "Kész jegyzőkönyv" would accept.
    QObject::connect(menu, &Tfomenu::profileWanted, menu, [this] {
        EvaluationResult result;
        if (m_commands.evaluateForProtocol(result))
            m_windows.profil()->showProfile();
    });
    QObject::connect(menu, &Tfomenu::printWanted, menu, [this] { m_paper.print(); });
    QObject::connect(menu, &Tfomenu::pdfWanted, menu, [this] { m_paper.savePdf(); });
    QObject::connect(menu, &Tfomenu::archiveWanted, menu, [&w] { w.archivum()->showArchive(); });
    QObject::connect(menu, &Tfomenu::backupWanted, menu, [this] { backup().run(); });
    QObject::connect(menu, &Tfomenu::unlocked, menu,
                     [this] { BackupReminder::afterUnlock(m_session.root(), m_platform); });
    QObject::connect(menu, &Tfomenu::unlocked, m_childScreen.get(), &ChildScreenCommand::unlock);
}

void Program::showHelpFor(const QWidget* window) {
    ProgramWindows& w = m_windows;
    auto is = [window](const auto& lazy) { return window && window == lazy.made(); };
    int chapter = 1;
    QString heading;
    if (is(w.valasz) || is(w.kepForm) || is(w.vvInstr)) {
        heading = QStringLiteral("3. FELVÉTEL");
    } else if (is(w.archivum)) {
        heading = QStringLiteral("4. MENTÉS ÉS MEGNYITÁS");
    } else if (is(w.jeloles)) {
        chapter = 2;
        heading = QStringLiteral("4. A JEL BEVITELE");
    } else if (is(w.infoKeret) || is(w.peldatar)) {
        chapter = 2;
        heading = QStringLiteral("7. JELÖLÉSI SEGÍTSÉG ÉS PÉLDATÁR");
    } else if (is(w.jegyzokonyv)) {
        chapter = 3;
    } else if (is(w.profil)) {
        chapter = 4;
        heading = QStringLiteral("2. A PROFIL");
    } else if (is(w.osszehasonlitas)) {
        // Set side by side, the results are read as one examination's are.
        chapter = 4;
    }
    if (heading.isEmpty())
        w.helpAblak()->showChapter(chapter);
    else
        w.helpAblak()->showChapterAt(chapter, heading);
}

void Program::start() {
    m_commands.readStoredPassword();
    if (const std::optional<QString>& password = m_commands.commandLine().handoverPassword)
        m_windows.fomenu->enterPassword(*password);
}

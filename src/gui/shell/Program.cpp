#include "gui/shell/Program.h"

#include "app/BackupReminder.h"
#include "app/ErrorBoundary.h"
#include "gui/archive/TArchivum.h"
#include "gui/backup/BackupCommand.h"
#include "gui/backup/TMentes.h"
#include "gui/childscreen/ChildScreenCommand.h"
#include "gui/common/NormalStateKeeper.h"
#include "gui/helptexts/THelpAblak.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/helptexts/Tvv_instr.h"
#include "gui/marking/TJelCsere.h"
#include "gui/marking/TJeloles.h"
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
    : m_session(root), m_commands(m_session, platform, m_windows), m_arrangements(m_session, platform, m_windows),
      m_paper(m_session, platform, m_commands) {
    m_commands.setCommandLine(CommandLine::parse(parameters));
    createWindows(platform);
}

Program::~Program() = default;

void Program::createWindows(Platform& platform) {
    const DataRoot& root = m_session.root();
    ProgramWindows& w = m_windows;
    w.fomenu = new Tfomenu(root, m_commands, m_arrangements);
    new NormalStateKeeper(w.fomenu);
    QWidget* owner = w.fomenu;
    w.valasz = new Tvalasz(m_session, platform, owner);
    reportFailure(platform, [this] { m_session.loadKey(); });
    w.jeloles = new TJeloles(m_session, platform, owner);
    w.infoKeret = new TInfoKeret(root, platform, owner);
    w.peldatar = new TPeldatar(root, platform, owner);
    w.szemAd = new TSzemAd(m_session, platform, owner);
    w.helpAblak = new THelpAblak(root, platform, owner);
    w.vvLista = new TVV_lista(root, platform, w.szemAd);
    w.kalend = new TKalend(platform, owner);
    w.vvInstr = new Tvv_instr(root, platform, owner);
    w.jelCsere = new TJelCsere(m_session, owner);
    w.kevesValasz = new TKevesValasz(owner);
    w.kepForm = new TKepForm(m_session, platform, owner);
    w.aboutForm = new TAboutForm(root, owner);
    w.pwForm = new TPwForm(m_commands, owner);
    w.profil = new TProfil(m_session, owner);
    w.archivum = new TArchivum(m_session, m_commands, platform, owner);
    w.mentes = new TMentes(platform, owner);
    m_backup = std::make_unique<BackupCommand>(root, platform, *w.mentes);
    m_childScreen = std::make_unique<ChildScreenCommand>(m_session, platform, w.fomenu);
    m_childScreen->addItemsTo(w.fomenu->examinationMenu());
    m_childScreen->closeWithEscapeIn({w.fomenu, w.valasz, w.jeloles, w.kepForm, w.vvInstr, w.infoKeret, w.peldatar});

    // Windows ask one another for help through signals, so none of them holds another.
    QObject::connect(w.jeloles, &TJeloles::markingHelpWanted, w.infoKeret, &TInfoKeret::showMarkingHelp);
    QObject::connect(w.jeloles, &TJeloles::examplesWanted, w.peldatar, &TPeldatar::showExamples);
    QObject::connect(w.jeloles, &TJeloles::deletionWanted, w.jelCsere, &TJelCsere::run);
    QObject::connect(w.jeloles, &TJeloles::markingHelpScrolled, w.infoKeret, &TInfoKeret::scrollText);
    QObject::connect(w.jeloles, &TJeloles::examplesScrolled, w.peldatar, &TPeldatar::scrollText);
    QObject::connect(w.szemAd, &TSzemAd::calendarWanted, w.kalend, &TKalend::exec);
    QObject::connect(w.kalend, &TKalend::datePicked, w.szemAd, &TSzemAd::setExaminationDate);
    QObject::connect(w.szemAd, &TSzemAd::examinerListWanted, w.vvLista,
                     [list = w.vvLista] { list->openList(QStringLiteral("vv")); });
    QObject::connect(w.fomenu, &Tfomenu::helpChapterWanted, w.helpAblak, &THelpAblak::showChapter);
    // While the personal data are up, modally, only their own children take input: the help
    // comes up as one of them, and goes back to the main window when they close.
    QObject::connect(w.szemAd, &TSzemAd::helpWanted, w.helpAblak, [this] {
        THelpAblak* help = m_windows.helpAblak;
        help->setParent(m_windows.szemAd, help->windowFlags());
        help->showChapterAt(1, QStringLiteral("A személyi adatok ablakában"));
    });
    QObject::connect(w.szemAd, &QDialog::finished, w.helpAblak, [this] {
        THelpAblak* help = m_windows.helpAblak;
        if (help->parentWidget() != m_windows.szemAd)
            return;
        const bool shown = help->isVisible();
        const QRect place = help->geometry();
        help->setParent(m_windows.fomenu, help->windowFlags());
        help->setGeometry(place);
        help->setVisible(shown);
    });
    QObject::connect(w.fomenu, &Tfomenu::aboutWanted, w.aboutForm, &TAboutForm::exec);
    QObject::connect(w.fomenu, &Tfomenu::passwordChangeWanted, w.pwForm, &TPwForm::exec);
    // The profile window shows only what "Kész jegyzőkönyv" would accept.
    QObject::connect(w.fomenu, &Tfomenu::profileWanted, w.profil, [this, profil = w.profil] {
        EvaluationResult result;
        if (m_commands.evaluateForProtocol(result))
            profil->showProfile();
    });
    QObject::connect(w.fomenu, &Tfomenu::printWanted, w.fomenu, [this] { m_paper.print(); });
    QObject::connect(w.fomenu, &Tfomenu::pdfWanted, w.fomenu, [this] { m_paper.savePdf(); });
    QObject::connect(w.fomenu, &Tfomenu::archiveWanted, w.archivum, &TArchivum::showArchive);
    QObject::connect(w.fomenu, &Tfomenu::backupWanted, w.fomenu, [this] { m_backup->run(); });
    QObject::connect(w.fomenu, &Tfomenu::unlocked, w.fomenu,
                     [this, p = &platform] { BackupReminder::afterUnlock(m_session.root(), *p); });
    QObject::connect(w.fomenu, &Tfomenu::unlocked, m_childScreen.get(), &ChildScreenCommand::unlock);
}

void Program::start() {
    m_commands.readStoredPassword();
    if (const std::optional<QString>& password = m_commands.commandLine().handoverPassword)
        m_windows.fomenu->enterPassword(*password);
}

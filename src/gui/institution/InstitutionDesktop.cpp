#include "gui/institution/InstitutionDesktop.h"

#include "app/ArchiveExportCommand.h"
#include "app/Commands.h"
#include "app/ExamSession.h"
#include "app/Platform.h"
#include "base/UserError.h"
#include "gui/institution/TIntezmeny.h"
#include "gui/institution/TKiszolgaloJelszo.h"
#include "institution/ResearchArchive.h"
#include "model/GcrKey.h"
#include "render/Csv.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <memory>

using namespace Institution;

InstitutionDesktop::InstitutionDesktop(ExamSession& session, Commands& commands, Platform& platform, QWidget* owner)
    : QObject(owner), m_session(session), m_platform(platform), m_owner(owner), m_client(session),
      m_side(m_client, session, commands, platform) {
    connect(&m_client, &InstitutionClient::statesChanged, this, &InstitutionDesktop::showIndicator);
    connect(&m_client, &InstitutionClient::statesChanged, &m_side, &ArchiveServerSide::activeChanged);
    // Asked once the work that found the password missing has ended, not inside it.
    connect(&m_client, &InstitutionClient::passwordWanted, this, &InstitutionDesktop::askPassword,
            Qt::QueuedConnection);
    connect(&m_client, &InstitutionClient::passwordNotKept, this, [this](const QString& reason) {
        m_platform.message(QStringLiteral("A jelszót a rendszer kulcstartója nem tudta megőrizni, ezért a program csak "
                                          "ebben a futásban emlékszik rá, a következő indításkor újra kéri.\n(A "
                                          "rendszer válasza: %1)")
                               .arg(reason));
    });
    commands.setExportOffer([this] { return offerResearchExport(); });
}

TIntezmeny* InstitutionDesktop::settingsWindow() {
    if (!m_settingsWindow)
        m_settingsWindow = new TIntezmeny(m_client, m_platform, m_owner);
    return m_settingsWindow;
}

TKiszolgaloJelszo* InstitutionDesktop::passwordWindow() {
    if (!m_passwordWindow)
        m_passwordWindow = new TKiszolgaloJelszo(m_owner);
    return m_passwordWindow;
}

void InstitutionDesktop::editSettings() {
    settingsWindow()->edit();
}

void InstitutionDesktop::showIndicator() {
    const InstitutionClient::Indicator indicator = m_client.indicator();
    emit indicatorChanged(indicator.text, indicator.tooltip);
}

void InstitutionDesktop::askPassword(const QString& reason) {
    if (m_asking)
        return;
    m_asking = true;
    askWhenQuiet(reason);
}

void InstitutionDesktop::askWhenQuiet(const QString& reason) {
    // Not over another question (the notices after the program password): once it is answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(300, this, [this, reason] { askWhenQuiet(reason); });
        return;
    }
    QString server;
    try {
        server = m_client.settings().address().describe();
    } catch (const UserError& e) {
        server = e.text();
    }
    TKiszolgaloJelszo* window = passwordWindow();
    const bool given = window->ask(server, reason, m_client.settings().rememberPassword);
    m_asking = false;
    if (given)
        m_client.setPassword(window->password(), window->remember());
    else
        m_client.declinePassword();
}

bool InstitutionDesktop::offerResearchExport() {
    if (!m_client.isConfigured() || m_client.role() != QLatin1String("researcher"))
        return false;
    if (!m_platform.confirm(QStringLiteral("Az intézményi archívum álnevesített adatait exportálja?\n\n"
                                           "Igen: a kiszolgálóról, minden vizsgálat, amelyet a kutatás láthat, név, "
                                           "kód és vizsgálatvezető nélkül, álnévvel, a dátumból csak az év és a "
                                           "hónap.\n"
                                           "Nem: a saját archívumából, ezen a gépen.")))
        return false;
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("CSV-fájl (*.csv)|*.csv|minden fájl (*.*)|*.*");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.initialFolder = QDir::homePath();
    dialog.fileName = QStringLiteral("vkt_intezmeny_anonim.csv");
    dialog.overwritePrompt = true;
    const QString output = m_platform.saveFileName(dialog);
    if (output.isEmpty())
        return true;
    const GcrKey key = m_session.key();
    auto result = std::make_shared<ResearchArchive::ExportResult>();
    m_client.runJob(
        [output, key, result](Connection& connection) {
            *result = ResearchArchive::exportTable(connection, output, key, CsvDialect::excelHungarian());
        },
        [this, output, result](const std::optional<ServerFailure>& failure) {
            if (failure)
                m_platform.message(QDir::toNativeSeparators(output) + QStringLiteral(": ") + failure->text);
            else
                m_platform.message(ArchiveExportCommand::doneText(output, result->rows, result->errors.size()));
        });
    return true;
}

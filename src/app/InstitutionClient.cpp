#include "app/InstitutionClient.h"

#include "app/ExamSession.h"
#include "app/PasswordKeeper.h"
#include "base/UserError.h"
#include "institution/Accounts.h"
#include "institution/ArchiveSync.h"
#include "institution/ClientIdentity.h"
#include "model/GcrKey.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <memory>

using namespace Institution;

namespace {

// The accounts whose examinations are their own; a researcher has none to upload.
bool uploads(const QString& role) {
    return role == QLatin1String("examiner") || role == QLatin1String("lead");
}

InstitutionClient::FileState stateFrom(const Institution::FileState& file) {
    using Kind = InstitutionClient::FileState::Kind;
    switch (file.state) {
    case Institution::FileState::State::Uploaded:
    case Institution::FileState::State::Unchanged:
        return {Kind::Uploaded, file.currentVersions > 1
                                    ? QStringLiteral("A kiszolgálón több újabb változata is van (két példányban is "
                                                     "módosították); mind megmaradt.")
                                    : QString()};
    case Institution::FileState::State::Refused:
        return {Kind::Failed, file.reason};
    case Institution::FileState::State::Pending:
        break;
    }
    return {Kind::Waiting, QString()};
}

} // namespace

struct InstitutionClient::UploadRun {
    struct Result {
        QString role;
        SyncReport report;
    };
    int generation = 0;
    bool all = false;
    bool mayAsk = false;
    std::shared_ptr<Result> result = std::make_shared<Result>();
};

InstitutionClient::InstitutionClient(ExamSession& session, QObject* parent)
    : QObject(parent), m_session(session), m_settings(ServerSettings::load(session.root())) {
    m_retry.setSingleShot(true);
    m_retry.setInterval(60 * 1000);
    connect(&m_retry, &QTimer::timeout, this, [this] { request({}, false); });
    connect(&session, &ExamSession::saved, this, &InstitutionClient::saved);
}

QString InstitutionClient::keyringKey() const {
    try {
        return m_settings.address().describe();
    } catch (const UserError&) {
        return QString();
    }
}

void InstitutionClient::changeSettings(const ServerSettings& settings, const QByteArray& password) {
    settings.save(m_session.root());
    const QString oldKey = keyringKey();
    const bool keptBefore = m_settings.rememberPassword;
    m_settings = settings;
    const QString key = keyringKey();
    if (keptBefore && (!m_settings.rememberPassword || key != oldKey) && !oldKey.isEmpty())
        PasswordKeeper::remove(oldKey);
    m_password = password;
    m_passwordDeclined = false;
    ++m_generation;
    m_running = false;
    m_known.clear();
    m_failure.reset();
    m_role.clear();
    m_retry.stop();
    if (m_settings.rememberPassword && !password.isEmpty())
        keep(password);
    emit statesChanged();
    if (m_started && isConfigured())
        request({}, true);
}

void InstitutionClient::start() {
    m_started = true;
    if (!isConfigured())
        return;
    if (!m_settings.rememberPassword || keyringKey().isEmpty()) {
        request({}, true);
        return;
    }
    QPointer<InstitutionClient> self(this);
    const int generation = m_generation;
    PasswordKeeper::read(keyringKey(), [self, generation](const std::optional<QByteArray>& kept) {
        if (!self || self->m_generation != generation)
            return;
        if (kept && self->m_password.isEmpty())
            self->m_password = *kept;
        self->request({}, true);
    });
}

void InstitutionClient::retryNow() {
    m_passwordDeclined = false;
    m_retry.stop();
    request({}, true);
}

void InstitutionClient::setPassword(const QByteArray& password, bool remember) {
    m_password = password;
    m_passwordDeclined = false;
    if (remember != m_settings.rememberPassword) {
        m_settings.rememberPassword = remember;
        try {
            m_settings.save(m_session.root());
        } catch (const UserError& e) {
            emit passwordNotKept(e.text());
        }
        if (!remember && !keyringKey().isEmpty())
            PasswordKeeper::remove(keyringKey());
    }
    if (remember)
        keep(password);
    request({}, true);
}

void InstitutionClient::keep(const QByteArray& password) {
    const QString key = keyringKey();
    if (key.isEmpty())
        return;
    QPointer<InstitutionClient> self(this);
    PasswordKeeper::write(key, password, [self](const QString& error) {
        if (!self || error.isEmpty())
            return;
        // Without a keyring the next run would try it again and say so again: it asks instead.
        self->m_settings.rememberPassword = false;
        try {
            self->m_settings.save(self->m_session.root());
        } catch (const UserError&) {
        }
        emit self->passwordNotKept(error);
    });
}

QByteArray InstitutionClient::passwordFor(const ServerSettings& settings) const {
    const ServerAddress mine = m_settings.address();
    const ServerAddress theirs = settings.address();
    const bool same =
        mine.conninfo == theirs.conninfo && mine.login == theirs.login && mine.requireTls == theirs.requireTls;
    return same ? m_password : QByteArray();
}

void InstitutionClient::declinePassword() {
    m_passwordDeclined = true;
    m_failure = ServerFailure{ServerError::Kind::Login,
                              QStringLiteral("A kiszolgáló jelszót kér, de ebben a futásban nem kapott: a vizsgálatok "
                                             "feltöltése vár."),
                              true, false};
    emit statesChanged();
}

void InstitutionClient::saved(const QString& path) {
    const QFileInfo file(path);
    if (!m_started || !isConfigured() || file.absoluteDir() != QDir(m_session.root().archiveFolder()))
        return;
    request({file.fileName()}, true);
}

void InstitutionClient::uploadWaiting(const QStringList& fileNames) {
    if (!m_started || !isConfigured() || m_failure || !uploads(m_role) || fileNames.isEmpty())
        return;
    request(fileNames, false);
}

void InstitutionClient::request(const QStringList& fileNames, bool mayAsk) {
    if (fileNames.isEmpty())
        m_wantAll = true;
    for (const QString& name : fileNames)
        m_wanted.insert(name);
    m_wantMayAsk = m_wantMayAsk || mayAsk;
    m_retry.stop();
    emit statesChanged();
    startNext();
}

void InstitutionClient::startNext() {
    if (m_running || (!m_wantAll && m_wanted.isEmpty()))
        return;
    UploadRun run;
    run.generation = m_generation;
    run.all = m_wantAll;
    run.mayAsk = m_wantMayAsk;
    const QStringList only = m_wantAll ? QStringList() : QStringList(m_wanted.begin(), m_wanted.end());
    m_wantAll = false;
    m_wantMayAsk = false;
    m_wanted.clear();
    m_running = true;
    const QString folder = m_session.root().archiveFolder();
    const GcrKey key = m_session.key();
    const QString client = clientIdentity(folder);
    const std::shared_ptr<UploadRun::Result> result = run.result;
    runJob(
        [folder, key, client, only, result](Connection& connection) {
            const std::optional<Accounts::Identity> identity = Accounts::whoAmI(connection);
            result->role = identity ? identity->kind : QString();
            if (uploads(result->role))
                result->report = ArchiveSync::run(connection, folder, key, client, ArchiveSync::Mode::Upload, {}, only);
        },
        [this, run](const std::optional<ServerFailure>& failure) { finished(run, failure); });
}

void InstitutionClient::finished(const UploadRun& run, const std::optional<ServerFailure>& failure) {
    if (run.generation != m_generation)
        return;
    m_running = false;
    if (!failure) {
        m_failure.reset();
        m_role = run.result->role;
        if (run.all)
            m_known.clear();
        for (const Institution::FileState& file : run.result->report.files) {
            const FileState state = stateFrom(file);
            if (state.kind != FileState::Kind::Waiting)
                m_known.insert(file.fileName, {file.sha256, state});
        }
    } else if (failure->passwordMissing || (failure->kind == ServerError::Kind::Login && !m_password.isEmpty())) {
        m_failure = failure;
        // What this run was for is done once the password is there.
        m_wantAll = true;
        if (run.mayAsk && !m_passwordDeclined) {
            emit statesChanged();
            emit passwordWanted(m_password.isEmpty() ? QString() : failure->text);
            return;
        }
    } else {
        m_failure = failure;
        if (failure->mayPass())
            m_retry.start();
    }
    emit statesChanged();
    // A password still missing waits for the person, not for the next run.
    if (!m_failure || !m_failure->passwordMissing)
        startNext();
}

InstitutionClient::FileState InstitutionClient::stateOf(const QString& fileName, const QByteArray& sha256) const {
    const auto known = m_known.constFind(fileName);
    if (known != m_known.constEnd() && known->sha256 == sha256)
        return known->state;
    if (!m_role.isEmpty() && !uploads(m_role))
        return {FileState::Kind::Failed,
                QStringLiteral("Ezzel a bejelentkezéssel (%1) nem lehet vizsgálatot feltölteni.")
                    .arg(Accounts::describe({QString(), m_role, QString()}))};
    if (m_failure) {
        const bool waits = m_failure->mayPass() || m_failure->kind == ServerError::Kind::Login;
        return {waits ? FileState::Kind::Waiting : FileState::Kind::Failed, m_failure->text};
    }
    if (m_running || m_wantAll || m_wanted.contains(fileName))
        return {FileState::Kind::Waiting, QStringLiteral("A feltöltés folyamatban van.")};
    return {FileState::Kind::Waiting, QStringLiteral("Még nem került fel a kiszolgálóra.")};
}

InstitutionClient::Indicator InstitutionClient::indicator() const {
    if (!isConfigured() || (!m_role.isEmpty() && !uploads(m_role)))
        return {};
    const QString click = QStringLiteral("\n\nKattintson ide, és a program most újra próbálja.");
    if (m_failure) {
        const bool waits = m_failure->mayPass() || m_failure->kind == ServerError::Kind::Login;
        QString tooltip = m_failure->text;
        if (m_failure->mayPass())
            tooltip += QStringLiteral("\nA program időnként magától is újra próbálja.");
        return {waits ? QStringLiteral("Intézmény: feltöltés vár") : QStringLiteral("Intézmény: hiba"),
                tooltip + click};
    }
    QStringList failed;
    for (auto it = m_known.constBegin(); it != m_known.constEnd(); ++it) {
        if (it->state.kind == FileState::Kind::Failed)
            failed << it.key() + QStringLiteral(": ") + it->state.reason;
    }
    if (failed.isEmpty())
        return {};
    failed.sort();
    return {QStringLiteral("Intézmény: %1 fájl nem került fel").arg(failed.size()), failed.join(QLatin1Char('\n'))};
}

void InstitutionClient::runJob(ServerJob::Work work, ServerJob::Done done) {
    ServerJob::run(this, m_settings.address(), m_password, std::move(work), std::move(done));
}

#pragma once

#include "app/ServerJob.h"
#include "institution/ServerSettings.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <optional>

class ExamSession;

// The program's side of the institution archive: the settings, the server's password for this
// run, and the uploads. Every examination saved into the archive folder goes to the server in
// the background; after the program password the whole folder is compared with the server once,
// for what was saved while it could not be reached. Nothing is queued in a file: what waits is
// what the folder holds and the server has not seen. A server that cannot be reached is tried
// again now and then; it never opens a message by itself.
class InstitutionClient : public QObject {
    Q_OBJECT
public:
    // How one file of the archive folder stands with the server.
    struct FileState {
        enum class Kind { Uploaded, Waiting, Failed };
        Kind kind = Kind::Waiting;
        QString reason;
    };
    // What the main window's indicator says; an empty text when all is uploaded.
    struct Indicator {
        QString text;
        QString tooltip;
    };

    explicit InstitutionClient(ExamSession& session, QObject* parent = nullptr);

    const Institution::ServerSettings& settings() const { return m_settings; }
    bool isConfigured() const { return m_settings.isConfigured(); }
    // New settings, written to the data folder; the run's password is the one given (empty: none
    // yet), kept in the keyring when the settings say so, and the folder is compared with the
    // server anew. Raises UserError when the settings cannot be written.
    void changeSettings(const Institution::ServerSettings& settings, const QByteArray& password);

    // The password of this run, when these settings name the same server and login; else none.
    QByteArray passwordFor(const Institution::ServerSettings& settings) const;

    // After the program password: the kept password, then the whole folder.
    void start();
    // The person asks for it (the indicator): the password is asked again if it was declined,
    // and the folder compared with the server at once.
    void retryNow();
    // The answer to passwordWanted(): the password of this run, kept in the keyring too when
    // remember is set.
    void setPassword(const QByteArray& password, bool remember);
    void declinePassword();

    FileState stateOf(const QString& fileName, const QByteArray& sha256) const;
    // Files the archive window found waiting: uploaded now, unless a run is under way or failed.
    void uploadWaiting(const QStringList& fileNames);
    Indicator indicator() const;
    // The login's kind of account at the last connection ("examiner", "lead", "researcher", …).
    const QString& role() const { return m_role; }

    // Work on the server with this run's address and password (see ServerJob).
    void runJob(ServerJob::Work work, ServerJob::Done done);
    // How long after a failed upload the next try comes.
    void setRetryInterval(int milliseconds) { m_retry.setInterval(milliseconds); }

signals:
    // A state or the indicator changed.
    void statesChanged();
    // The server wants a password, and now is a time to ask (start-up, a save, the person's
    // wish); reason says what was wrong with the last one, if any.
    void passwordWanted(const QString& reason);
    // The password is used in this run but could not be kept in the keyring.
    void passwordNotKept(const QString& reason);

private:
    struct Known {
        QByteArray sha256;
        FileState state;
    };
    struct UploadRun;

    void saved(const QString& path);
    // Asks for an upload of the files (the whole folder when none); mayAsk: a password may be
    // asked for if the server wants one.
    void request(const QStringList& fileNames, bool mayAsk);
    void startNext();
    void finished(const UploadRun& run, const std::optional<ServerFailure>& failure);
    QString keyringKey() const;
    // Keeps the password in the keyring; says so when it cannot.
    void keep(const QByteArray& password);

    ExamSession& m_session;
    Institution::ServerSettings m_settings;
    QByteArray m_password;
    bool m_passwordDeclined = false;
    bool m_started = false;
    // Raised by new settings: the answer of a run under the old ones is not taken.
    int m_generation = 0;
    bool m_running = false;
    bool m_wantAll = false;
    bool m_wantMayAsk = false;
    QSet<QString> m_wanted;
    QHash<QString, Known> m_known;
    std::optional<ServerFailure> m_failure;
    QString m_role;
    QTimer m_retry;
};

#include "app/PasswordKeeper.h"

#include <qt6keychain/keychain.h>

namespace {

// The entry's name in the keyring: what a person sees there.
const QString kService = QStringLiteral("gyermek VKT intézményi archívum");

template <typename Job>
Job* makeJob(const QString& key) {
    auto* job = new Job(kService);
    // A keyring that is not there is no reason to keep the password in a plain file instead.
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    job->setKey(key);
    return job;
}

} // namespace

void PasswordKeeper::read(const QString& key, std::function<void(const std::optional<QByteArray>&)> done) {
    auto* job = makeJob<QKeychain::ReadPasswordJob>(key);
    QObject::connect(job, &QKeychain::Job::finished, job, [job, done = std::move(done)] {
        if (job->error() == QKeychain::NoError)
            done(job->binaryData());
        else
            done(std::nullopt);
    });
    job->start();
}

void PasswordKeeper::write(const QString& key, const QByteArray& password,
                           std::function<void(const QString& error)> done) {
    auto* job = makeJob<QKeychain::WritePasswordJob>(key);
    job->setBinaryData(password);
    QObject::connect(job, &QKeychain::Job::finished, job, [job, done = std::move(done)] {
        if (job->error() == QKeychain::NoError)
            done(QString());
        else
            done(job->errorString().isEmpty() ? QStringLiteral("nincs elérhető kulcstartó") : job->errorString());
    });
    job->start();
}

void PasswordKeeper::remove(const QString& key) {
    makeJob<QKeychain::DeletePasswordJob>(key)->start();
}

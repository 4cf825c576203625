#include "app/ServerJob.h"

#include "base/UserError.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

using Institution::Connection;
using Institution::ServerError;

namespace {

// The server's work waits on the network and, inside, on Qt Concurrent's work spread over the
// global pool (reading the files to upload); in the global pool itself those waits could take
// every thread and leave the pieces they wait for with none. Two: an upload and a listing or an
// opening at once.
QThreadPool* serverPool() {
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool(QCoreApplication::instance());
        made->setMaxThreadCount(2);
        return made;
    }();
    return pool;
}

} // namespace

bool ServerFailure::mayPass() const {
    return !local && (kind == ServerError::Kind::Unreachable || kind == ServerError::Kind::Lost);
}

void ServerJob::run(QObject* context, const Institution::ServerAddress& address, const QByteArray& password, Work work,
                    Done done) {
    auto* watcher = new QFutureWatcher<std::optional<ServerFailure>>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->result());
    });
    watcher->setFuture(
        QtConcurrent::run(serverPool(), [address, password, work = std::move(work)]() -> std::optional<ServerFailure> {
            try {
                Connection connection(address, password);
                work(connection);
                return std::nullopt;
            } catch (const ServerError& e) {
                return ServerFailure{e.kind(), e.text(), e.passwordMissing(), false};
            } catch (const UserError& e) {
                return ServerFailure{ServerError::Kind::Refused, e.text(), false, true};
            }
        }));
}

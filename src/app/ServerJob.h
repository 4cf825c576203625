#pragma once

#include "institution/Connection.h"
#include "institution/ServerError.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// Why a piece of work on the institution's server was not done.
struct ServerFailure {
    Institution::ServerError::Kind kind = Institution::ServerError::Kind::Refused;
    QString text;
    // The server wants a password and none was given.
    bool passwordMissing = false;
    // A file or folder of this computer failed, not the server.
    bool local = false;

    // Waiting may help: the server or the network may come back by themselves.
    bool mayPass() const;
};

// Work on the server off the windows' thread, on a connection of its own: the work runs on
// Qt Concurrent's pool and must not touch the objects of the windows' thread; what it finds it
// leaves in values it shares with done. done runs on the thread of context, with the failure
// or none, unless context is gone by then.
namespace ServerJob {

using Work = std::function<void(Institution::Connection&)>;
using Done = std::function<void(const std::optional<ServerFailure>&)>;

void run(QObject* context, const Institution::ServerAddress& address, const QByteArray& password, Work work, Done done);

} // namespace ServerJob

#pragma once

#include "cli/CliArgs.h"

#include <QString>

#include <memory>

namespace Institution {
class Connection;
}

// The "--db" option of the commands that talk to the institution's server.
namespace ServerConnection {

extern const QString kOption; // "--db"

// The connection string: --db, else the environment's GYVKT_DB, else empty (libpq's defaults:
// PGHOST, PGDATABASE, ...).
QString connectionString(const CliArgs& args);

// Connects; when the server wants a password and libpq found none (PGPASSWORD, ~/.pgpass), it is
// asked on the terminal. Null, after the reason on stderr, when no connection was made.
std::unique_ptr<Institution::Connection> open(const CliArgs& args);

// Prints why a server run failed on stderr and returns the exit status for it: 2.
int failed(const QString& message);

} // namespace ServerConnection

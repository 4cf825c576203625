#pragma once

#include "institution/Connection.h"

#include <QString>

class DataRoot;

namespace Institution {

// Which institution archive a data folder belongs to: the server, by its parts or by a full
// libpq connection string, the login, whether TLS is required, and whether the password is kept
// in the system's keyring. Kept in the data folder's intezmeny.txt, never with a password;
// GYVKT_DB in the environment names the server in place of the file (a deployment by script).
struct ServerSettings {
    QString host;
    QString port;
    QString database;
    // A full connection string or URI; it wins over host, port and database.
    QString connectionString;
    QString login;
    bool requireTls = false;
    bool rememberPassword = false;
    // The connection string came from GYVKT_DB: the dialog shows it and does not change it.
    bool fromEnvironment = false;

    bool isConfigured() const;
    ServerAddress address() const;
    // The file's settings, with GYVKT_DB over them when it is set. A file that is missing or
    // cannot be read leaves the settings empty (not configured).
    static ServerSettings load(const DataRoot& root);
    // Writes the file (atomically; what came from the environment is not written). Raises
    // UserError when it cannot be written.
    void save(const DataRoot& root) const;

    bool operator==(const ServerSettings& other) const;
    bool operator!=(const ServerSettings& other) const { return !(*this == other); }
};

// A value as a libpq keyword string takes it: quoted, with the quote and the backslash escaped,
// so that no value can add a keyword of its own.
QString conninfoValue(const QString& value);

} // namespace Institution

#include "cli/ServerConnection.h"

#include "cli/CliCommands.h"
#include "cli/SecretInput.h"
#include "institution/Connection.h"
#include "institution/ServerError.h"

using Institution::Connection;
using Institution::ServerError;

const QString ServerConnection::kOption = QStringLiteral("--db");

QString ServerConnection::connectionString(const CliArgs& args) {
    if (args.given(kOption))
        return args.value(kOption);
    return qEnvironmentVariable("GYVKT_DB");
}

std::unique_ptr<Connection> ServerConnection::open(const CliArgs& args) {
    const QString conninfo = connectionString(args);
    try {
        return std::make_unique<Connection>(conninfo);
    } catch (const ServerError& e) {
        if (!e.passwordMissing()) {
            failed(e.text());
            return nullptr;
        }
    }
    // As psql does: libpq had no password, so the person is asked for one.
    const std::optional<QByteArray> password = askOnTerminal("A kiszolgáló jelszava: ");
    if (!password) {
        failed(QStringLiteral("A kiszolgáló jelszót kér, de nincs terminál, ahol meg lehetne adni: adja meg a "
                              "PGPASSWORD változóban vagy a ~/.pgpass fájlban."));
        return nullptr;
    }
    try {
        return std::make_unique<Connection>(conninfo, *password);
    } catch (const ServerError& e) {
        failed(e.text());
        return nullptr;
    }
}

int ServerConnection::failed(const QString& message) {
    printErr(message + QLatin1Char('\n'));
    return 2;
}

#include "institution/ServerSettings.h"

#include "base/DataRoot.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QFileInfo>

namespace Institution {

namespace {

const QString kHost = QStringLiteral("kiszolgalo");
const QString kPort = QStringLiteral("port");
const QString kDatabase = QStringLiteral("adatbazis");
const QString kConnection = QStringLiteral("kapcsolat");
const QString kLogin = QStringLiteral("felhasznalo");
const QString kTls = QStringLiteral("tls");
const QString kRemember = QStringLiteral("jelszo_megjegyzese");

QString yesNo(bool value) {
    return value ? QStringLiteral("igen") : QStringLiteral("nem");
}

} // namespace

QString conninfoValue(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool ServerSettings::isConfigured() const {
    return !connectionString.trimmed().isEmpty() || !host.trimmed().isEmpty();
}

ServerAddress ServerSettings::address() const {
    ServerAddress address;
    address.login = login.trimmed();
    address.requireTls = requireTls;
    if (!connectionString.trimmed().isEmpty()) {
        address.conninfo = connectionString.trimmed();
        return address;
    }
    QStringList parts;
    const std::pair<const char*, QString> fields[] = {
        {"host", host.trimmed()}, {"port", port.trimmed()}, {"dbname", database.trimmed()}};
    for (const auto& [keyword, value] : fields) {
        if (!value.isEmpty())
            parts << QLatin1String(keyword) + QLatin1Char('=') + conninfoValue(value);
    }
    address.conninfo = parts.join(QLatin1Char(' '));
    return address;
}

ServerSettings ServerSettings::load(const DataRoot& root) {
    ServerSettings settings;
    const QString path = root.institutionSettingsFile();
    if (QFileInfo::exists(path)) {
        try {
            for (const QString& line : TextFile::readLines(path)) {
                const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
                const QString value = line.section(QLatin1Char('='), 1);
                if (key == kHost)
                    settings.host = value;
                else if (key == kPort)
                    settings.port = value;
                else if (key == kDatabase)
                    settings.database = value;
                else if (key == kConnection)
                    settings.connectionString = value;
                else if (key == kLogin)
                    settings.login = value;
                else if (key == kTls)
                    settings.requireTls = value == yesNo(true);
                else if (key == kRemember)
                    settings.rememberPassword = value == yesNo(true);
            }
        } catch (const UserError&) {
            settings = ServerSettings();
        }
    }
    const QString environment = qEnvironmentVariable("GYVKT_DB");
    if (!environment.trimmed().isEmpty()) {
        settings.connectionString = environment;
        settings.host.clear();
        settings.port.clear();
        settings.database.clear();
        settings.login.clear();
        settings.requireTls = false;
        settings.fromEnvironment = true;
    }
    return settings;
}

void ServerSettings::save(const DataRoot& root) const {
    // With the server named by the environment only the choice of the keyring is the file's.
    const ServerSettings stored = fromEnvironment ? ServerSettings() : *this;
    TextFile::writeLines(root.institutionSettingsFile(),
                         {kHost + QLatin1Char('=') + stored.host, kPort + QLatin1Char('=') + stored.port,
                          kDatabase + QLatin1Char('=') + stored.database,
                          kConnection + QLatin1Char('=') + stored.connectionString,
                          kLogin + QLatin1Char('=') + stored.login, kTls + QLatin1Char('=') + yesNo(stored.requireTls),
                          kRemember + QLatin1Char('=') + yesNo(rememberPassword)});
}

bool ServerSettings::operator==(const ServerSettings& other) const {
    return host == other.host && port == other.port && database == other.database &&
           connectionString == other.connectionString && login == other.login && requireTls == other.requireTls &&
           rememberPassword == other.rememberPassword && fromEnvironment == other.fromEnvironment;
}

} // namespace Institution

#include "institution/Accounts.h"

#include "institution/Connection.h"
#include "institution/ServerError.h"

namespace Institution {

namespace {

const char* const kRoleNames[] = {"examiner", "lead", "researcher", "admin"};

Param optionalText(const QString& text) {
    return text.isEmpty() ? Param::null() : Param::text(text);
}

} // namespace

QString Accounts::roleName(Role role) {
    return QString::fromLatin1(kRoleNames[static_cast<int>(role)]);
}

std::optional<Accounts::Role> Accounts::roleFromName(const QString& name) {
    for (int i = 0; i < 4; ++i) {
        if (name == QLatin1String(kRoleNames[i]))
            return static_cast<Role>(i);
    }
    return std::nullopt;
}

void Accounts::addTeam(Connection& connection, const QString& name) {
    connection.exec("SELECT gyvkt.add_team($1)", {Param::text(name)});
}

void Accounts::addUser(Connection& connection, const QString& login, Role role, const QString& team,
                       const QByteArray& password) {
    if (QString::fromUtf8(password).size() < kMinimumPasswordLength)
        throw UserError(QStringLiteral("A jelszó legalább %1 karakter legyen.").arg(kMinimumPasswordLength));
    const QByteArray verifier = connection.passwordVerifier(password, login);
    connection.exec("SELECT gyvkt.add_user($1, $2, $3, $4)",
                    {Param::text(login), Param::text(roleName(role)), optionalText(team),
                     Param::text(QString::fromLatin1(verifier))});
}

void Accounts::removeUser(Connection& connection, const QString& login) {
    connection.exec("SELECT gyvkt.remove_user($1)", {Param::text(login)});
}

std::optional<Accounts::Identity> Accounts::whoAmI(Connection& connection) {
    const Rows rows = connection.exec("SELECT login, kind, team FROM gyvkt.whoami()");
    if (rows.count() == 0)
        return std::nullopt;
    return Identity{rows.text(0, 0), rows.text(0, 1), rows.text(0, 2)};
}

QString Accounts::describe(const Identity& identity) {
    static const std::pair<const char*, const char*> kinds[] = {{"examiner", "vizsgálatvezető"},
                                                                {"lead", "csoportvezető"},
                                                                {"researcher", "kutató"},
                                                                {"admin", "adminisztrátor"},
                                                                {"owner", "az archívum tulajdonosa"}};
    QString text = identity.kind;
    for (const auto& [name, hungarian] : kinds) {
        if (identity.kind == QLatin1String(name))
            text = QString::fromUtf8(hungarian);
    }
    if (!identity.team.isEmpty())
        text += QStringLiteral(" (csoport: %1)").arg(identity.team);
    return text;
}

void Accounts::readAudit(Connection& connection, const std::optional<QDate>& since,
                         const std::function<void(const AuditEntry&)>& each) {
    connection.stream(
        "SELECT to_char(at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.US\"Z\"'), login, "
        "coalesce(host(client_addr), ''), action, coalesce(owner_login, ''), coalesce(file_name, ''), "
        "coalesce(detail, '') FROM gyvkt.audit_trail WHERE $1::date IS NULL OR at >= $1::date ORDER BY at",
        {since ? Param::text(since->toString(Qt::ISODate)) : Param::null()}, 1000, [&](const Rows& rows) {
            for (int r = 0; r < rows.count(); ++r)
                each({QDateTime::fromString(rows.text(r, 0), Qt::ISODateWithMs), rows.text(r, 1), rows.text(r, 2),
                      rows.text(r, 3), rows.text(r, 4), rows.text(r, 5), rows.text(r, 6)});
        });
}

} // namespace Institution

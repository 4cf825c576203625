#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace Institution {

class Connection;

// The people of the archive, each a login role of the server in the group of their role, and
// the audit trail of what they did. Changes are made by the server's own functions, which check
// that the connected login is the archive's administrator.
namespace Accounts {

enum class Role { Examiner, Lead, Researcher, Admin };

// "examiner", "lead", "researcher", "admin": the names the server and the command line use.
QString roleName(Role role);
std::optional<Role> roleFromName(const QString& name);

// The shortest password accepted for a new login.
constexpr int kMinimumPasswordLength = 8;

void addTeam(Connection& connection, const QString& name);
// The password goes to the server only as its SCRAM verifier. Raises UserError for a password
// shorter than kMinimumPasswordLength, ServerError when the server refuses.
void addUser(Connection& connection, const QString& login, Role role, const QString& team, const QByteArray& password);
void removeUser(Connection& connection, const QString& login);

// Who the connection is to the archive. kind is a roleName(), or "owner" for the schema's
// owner; none for a login the archive does not know.
struct Identity {
    QString login;
    QString kind;
    QString team;
};
std::optional<Identity> whoAmI(Connection& connection);
// "vizsgálatvezető (csoport: Észak)": what a connection test tells the person.
QString describe(const Identity& identity);

struct AuditEntry {
    QDateTime at;
    QString login;
    QString clientAddress;
    QString action;
    QString owner;
    QString fileName;
    QString detail;
};
// Every audit row from the given day on (all without one), oldest first, one at a time.
void readAudit(Connection& connection, const std::optional<QDate>& since,
               const std::function<void(const AuditEntry&)>& each);

} // namespace Accounts
} // namespace Institution

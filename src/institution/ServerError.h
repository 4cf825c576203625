#pragma once

#include "base/UserError.h"

#include <QByteArray>
#include <QString>

struct pg_result;

namespace Institution {

// What went wrong talking to the institution's server, in the kinds a caller acts on: the
// command line's exit status, and later the program's state for a file. The text is Hungarian
// and, on a line of its own, carries what the server or libpq said.
class ServerError : public UserError {
public:
    enum class Kind {
        Unreachable, // no server answered at the address
        Login,       // the server answered but did not let this login in
        Tls,         // the server's certificate could not be verified, or TLS was not possible
        Lost,        // the connection broke while a statement ran
        Denied,      // the server does not allow this to this login
        NoArchive,   // the database holds no archive, or an older schema than this program's
        Refused,     // the server refused the statement's values (its message says why)
    };

    ServerError(Kind kind, const QString& text);
    Kind kind() const { return m_kind; }
    // The login failed because libpq had no password to give: the caller may ask for one.
    bool passwordMissing() const { return m_passwordMissing; }
    // Whether the whole run has to stop, as opposed to one file's upload failing.
    bool endsTheRun() const { return m_kind != Kind::Refused; }

    // A connection that could not be made, from libpq's message.
    static ServerError connectionFailed(const QByteArray& libpqMessage, bool passwordMissing);
    // A statement that failed; connectionBroken when the connection is gone after it.
    static ServerError statementFailed(const pg_result* result, const QByteArray& libpqMessage, bool connectionBroken);

private:
    Kind m_kind;
    bool m_passwordMissing = false;
};

} // namespace Institution

#include "institution/ServerError.h"

#include <libpq-fe.h>

namespace Institution {

namespace {

QString detailLine(const QByteArray& message) {
    const QString text = QString::fromUtf8(message).trimmed();
    return text.isEmpty() ? QString() : QLatin1Char('\n') + text;
}

bool mentionsAny(const QByteArray& message, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (message.contains(word))
            return true;
    }
    return false;
}

// SQLSTATE classes and codes of the statements this client sends.
bool isMissingArchive(const QByteArray& state) {
    // undefined table, function, schema or column: no schema yet, or an older one
    return state == "42P01" || state == "42883" || state == "3F000" || state == "42703";
}

} // namespace

ServerError::ServerError(Kind kind, const QString& text) : UserError(text), m_kind(kind) {}

ServerError ServerError::connectionFailed(const QByteArray& libpqMessage, bool passwordMissing) {
    const QString detail = detailLine(libpqMessage);
    // libpq has no code for why a connection failed; its messages are English on a Hungarian
    // system (it has no Hungarian catalogue). The server's refusals come first, since one of
    // them may mention the encryption it saw; a missing database or role is the server's
    // answer too, but only after the certificate checks, whose files may be missing.
    const auto login = [&] {
        ServerError error(Kind::Login, QStringLiteral("A bejelentkezés nem sikerült: a felhasználónév vagy a jelszó "
                                                      "nem jó, vagy a kiszolgáló nem engedi be ezt a felhasználót "
                                                      "ebbe az adatbázisba.") +
                                           detail);
        error.m_passwordMissing = passwordMissing;
        return error;
    };
    if (passwordMissing || mentionsAny(libpqMessage, {"authentication failed", "pg_hba.conf", "password"}))
        return login();
    if (mentionsAny(libpqMessage, {"SSL", "certificate", "TLS"}))
        return ServerError(Kind::Tls, QStringLiteral("A kiszolgáló tanúsítványa nem ellenőrizhető, vagy a titkosított "
                                                     "kapcsolat (TLS) nem jött létre; a program nem kapcsolódott.") +
                                          detail);
    if (mentionsAny(libpqMessage, {"does not exist", "permission denied"}))
        return login();
    return ServerError(Kind::Unreachable,
                       QStringLiteral("A kiszolgáló nem érhető el (rossz cím vagy port, vagy nem fut).") + detail);
}

ServerError ServerError::statementFailed(const pg_result* result, const QByteArray& libpqMessage,
                                         bool connectionBroken) {
    if (connectionBroken)
        return ServerError(Kind::Lost,
                           QStringLiteral("Megszakadt a kapcsolat a kiszolgálóval.") + detailLine(libpqMessage));
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    const QByteArray primary = result ? QByteArray(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) : libpqMessage;
    if (state == "42501")
        return ServerError(Kind::Denied,
                           QStringLiteral("A kiszolgáló ezt nem engedi ennek a felhasználónak.") + detailLine(primary));
    if (isMissingArchive(state))
        return ServerError(
            Kind::NoArchive,
            QStringLiteral("Ebben az adatbázisban nincs intézményi archívum, vagy régebbi a sémája, mint "
                           "amit ez a program használ: az adminisztrátor futtassa a „gyvkt-cli server "
                           "init” parancsot.") +
                detailLine(primary));
    // 57P01..57P03: the server shuts down or restarts under the statement.
    if (state.startsWith("57P") || state.startsWith("08"))
        return ServerError(Kind::Lost, QStringLiteral("Megszakadt a kapcsolat a kiszolgálóval.") + detailLine(primary));
    const QString text = QString::fromUtf8(primary).trimmed();
    return ServerError(Kind::Refused, text.isEmpty() ? QStringLiteral("A kiszolgáló elutasította a kérést.") : text);
}

} // namespace Institution

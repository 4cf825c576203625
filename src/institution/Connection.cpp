#include "institution/Connection.h"

#include "institution/ServerError.h"

#include <libpq-fe.h>

#include <QHash>

#include <vector>

namespace Institution {

namespace {

void ignoreNotice(void*, const char*) {}

// The parameters of one statement as libpq takes them; the arrays point into params.
struct ParamArrays {
    explicit ParamArrays(const Params& params) {
        for (const Param& p : params) {
            values.push_back(p.isNull() ? nullptr : p.value().constData());
            lengths.push_back(static_cast<int>(p.value().size()));
            formats.push_back(p.isBinary() ? 1 : 0);
        }
    }
    int count() const { return static_cast<int>(values.size()); }
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
};

bool succeeded(const pg_result* result) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    return status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK;
}

} // namespace

Param Param::text(const QString& text) {
    Param p;
    // libpq passes text parameters as C strings: a NUL (from a damaged file) would cut the value
    // short without a word.
    QString clean = text;
    clean.replace(QChar(0), QChar(QChar::ReplacementCharacter));
    p.m_value = clean.toUtf8();
    return p;
}

Param Param::utf8(const QByteArray& text) {
    if (text.contains('\0'))
        return Param::text(QString::fromUtf8(text));
    Param p;
    p.m_value = text;
    return p;
}

Param Param::number(qint64 number) {
    Param p;
    p.m_value = QByteArray::number(number);
    return p;
}

Param Param::optionalNumber(const std::optional<qint64>& number) {
    return number ? Param::number(*number) : Param::null();
}

Param Param::bytes(const QByteArray& bytes) {
    Param p;
    p.m_value = bytes;
    p.m_binary = true;
    return p;
}

Param Param::null() {
    Param p;
    p.m_null = true;
    return p;
}

Rows::Rows(pg_result* result) : m_result(result, PQclear) {}

int Rows::count() const {
    return PQntuples(m_result.get());
}

bool Rows::isNull(int row, int column) const {
    return PQgetisnull(m_result.get(), row, column) != 0;
}

QString Rows::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column), PQgetlength(m_result.get(), row, column));
}

qint64 Rows::number(int row, int column) const {
    return QByteArray(PQgetvalue(m_result.get(), row, column)).toLongLong();
}

std::optional<qint64> Rows::optionalNumber(int row, int column) const {
    if (isNull(row, column))
        return std::nullopt;
    return number(row, column);
}

bool Rows::boolean(int row, int column) const {
    return PQgetvalue(m_result.get(), row, column)[0] == 't';
}

QByteArray Rows::bytes(int row, int column) const {
    const char* value = PQgetvalue(m_result.get(), row, column);
    const int length = PQgetlength(m_result.get(), row, column);
    if (PQfformat(m_result.get(), column) == 1)
        return QByteArray(value, length);
    if (length >= 2 && value[0] == '\\' && value[1] == 'x')
        return QByteArray::fromHex(QByteArray::fromRawData(value + 2, length - 2));
    return QByteArray(value, length);
}

Connection::Connection(const QString& conninfo, const QByteArray& password)
    : Connection(ServerAddress{conninfo, QString(), false}, password) {}

Connection::Connection(const ServerAddress& address, const QByteArray& password) {
    const QByteArray info = address.conninfo.toUtf8();
    const QByteArray login = address.login.toUtf8();
    // The string's own settings win over the defaults before it; what comes after it wins over
    // the string: the settings' login and TLS, and the encoding, since every text this program
    // sends and reads is UTF-8.
    std::vector<const char*> keys{"fallback_application_name", "connect_timeout", "dbname"};
    std::vector<const char*> values{"gyvkt", "10", info.constData()};
    if (!login.isEmpty()) {
        keys.push_back("user");
        values.push_back(login.constData());
    }
    if (address.requireTls) {
        keys.push_back("sslmode");
        values.push_back("verify-full");
    }
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(password.constData());
    }
    keys.push_back("client_encoding");
    values.push_back("UTF8");
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!m_conn)
        throw ServerError(ServerError::Kind::Unreachable, QStringLiteral("Nincs elég memória a kapcsolathoz."));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const ServerError error =
            ServerError::connectionFailed(PQerrorMessage(m_conn), PQconnectionNeedsPassword(m_conn) != 0);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw error;
    }
    // Notices (an object that exists already) are for a person at psql, not for our output.
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
}

Connection::~Connection() {
    if (m_conn)
        PQfinish(m_conn);
}

void Connection::fail(const pg_result* result) {
    throw ServerError::statementFailed(result, PQerrorMessage(m_conn), PQstatus(m_conn) != CONNECTION_OK);
}

Rows Connection::exec(const char* sql, const Params& params, Format format) {
    const ParamArrays arrays(params);
    pg_result* result = PQexecParams(m_conn, sql, arrays.count(), nullptr, arrays.values.data(), arrays.lengths.data(),
                                     arrays.formats.data(), format == Format::Binary ? 1 : 0);
    Rows rows(result);
    if (!succeeded(result))
        fail(result);
    return rows;
}

QByteArray Connection::prepared(const char* sql, int parameters) {
    const QByteArray text(sql);
    const auto known = m_prepared.constFind(text);
    if (known != m_prepared.constEnd())
        return *known;
    const QByteArray name = "gyvkt_" + QByteArray::number(m_prepared.size() + 1);
    pg_result* result = PQprepare(m_conn, name.constData(), sql, parameters, nullptr);
    Rows keep(result);
    if (!succeeded(result))
        fail(result);
    m_prepared.insert(text, name);
    return name;
}

QList<Connection::Outcome> Connection::pipeline(const char* sql, const QList<Params>& each) {
    QList<Outcome> outcomes;
    if (each.isEmpty())
        return outcomes;
    const QByteArray name = prepared(sql, static_cast<int>(each.first().size()));
    if (!PQenterPipelineMode(m_conn))
        fail(nullptr);
    for (const Params& params : each) {
        const ParamArrays arrays(params);
        // A sync after each statement ends its transaction; a refused one aborts only itself.
        if (!PQsendQueryPrepared(m_conn, name.constData(), arrays.count(), arrays.values.data(), arrays.lengths.data(),
                                 arrays.formats.data(), 0) ||
            !PQpipelineSync(m_conn))
            fail(nullptr);
    }
    // The answers come in order: each statement's result and its end, then the sync's.
    while (outcomes.size() < each.size()) {
        pg_result* result = PQgetResult(m_conn);
        if (!result) {
            if (PQstatus(m_conn) != CONNECTION_OK)
                fail(nullptr);
            continue;
        }
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_PIPELINE_SYNC) {
            PQclear(result);
            continue;
        }
        Rows rows(result);
        if (succeeded(result)) {
            outcomes.append({rows, std::nullopt});
            continue;
        }
        if (PQstatus(m_conn) != CONNECTION_OK)
            fail(result);
        outcomes.append({std::nullopt, ServerError::statementFailed(result, PQerrorMessage(m_conn), false)});
    }
    // The last sync's answer, then back to one statement at a time.
    for (;;) {
        pg_result* rest = PQgetResult(m_conn);
        if (!rest) {
            if (PQstatus(m_conn) != CONNECTION_OK)
                fail(nullptr);
            continue;
        }
        const bool sync = PQresultStatus(rest) == PGRES_PIPELINE_SYNC;
        PQclear(rest);
        if (sync)
            break;
    }
    if (!PQexitPipelineMode(m_conn))
        fail(nullptr);
    return outcomes;
}

void Connection::script(const QByteArray& sql) {
    pg_result* result = PQexec(m_conn, sql.constData());
    Rows keep(result);
    if (!result || PQresultStatus(result) != PGRES_COMMAND_OK)
        fail(result);
}

void Connection::transaction(const std::function<void()>& work, const char* begin) {
    exec(begin);
    try {
        work();
    } catch (...) {
        // A broken connection has nothing to roll back; the server does it.
        if (PQstatus(m_conn) == CONNECTION_OK)
            PQclear(PQexec(m_conn, "ROLLBACK"));
        throw;
    }
    exec("COMMIT");
}

void Connection::stream(const char* sql, const Params& params, int batchRows,
                        const std::function<void(const Rows&)>& each) {
    const QByteArray declare = QByteArrayLiteral("DECLARE gyvkt_rows NO SCROLL CURSOR FOR ") + sql;
    const QByteArray fetch = "FETCH " + QByteArray::number(batchRows) + " FROM gyvkt_rows";
    transaction(
        [&] {
            exec(declare.constData(), params);
            for (;;) {
                const Rows rows = exec(fetch.constData());
                if (rows.count() == 0)
                    break;
                each(rows);
            }
        },
        "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

QByteArray Connection::passwordVerifier(const QByteArray& password, const QString& login) {
    char* verifier = PQencryptPasswordConn(m_conn, password.constData(), login.toUtf8().constData(), "scram-sha-256");
    if (!verifier)
        fail(nullptr);
    const QByteArray result(verifier);
    PQfreemem(verifier);
    return result;
}

namespace {

// The keywords a connection string sets, read by libpq itself; raises ServerError (Refused) for
// a string libpq cannot read.
QHash<QByteArray, QString> parsedOptions(const QString& conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        const QString why = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        throw ServerError(ServerError::Kind::Refused, QStringLiteral("A kapcsolódási szöveg nem olvasható.") +
                                                          (why.isEmpty() ? QString() : QLatin1Char('\n') + why));
    }
    QHash<QByteArray, QString> values;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (o->val && *o->val)
            values.insert(o->keyword, QString::fromUtf8(o->val));
    }
    PQconninfoFree(options);
    return values;
}

} // namespace

QString ServerAddress::describe() const {
    const QHash<QByteArray, QString> given = parsedOptions(conninfo);
    // What the string leaves out libpq takes from the environment, then from its defaults.
    QHash<QByteArray, QString> defaults;
    if (PQconninfoOption* options = PQconndefaults()) {
        for (const PQconninfoOption* o = options; o->keyword; ++o) {
            if (o->val && *o->val)
                defaults.insert(o->keyword, QString::fromUtf8(o->val));
        }
        PQconninfoFree(options);
    }
    const auto value = [&](const char* keyword) { return given.value(keyword, defaults.value(keyword)); };
    const QString user = login.isEmpty() ? value("user") : login;
    const QString host = value("host").isEmpty() ? value("hostaddr") : value("host");
    const QString database = value("dbname").isEmpty() ? user : value("dbname");
    return QStringLiteral("%1@%2:%3/%4").arg(user, host, value("port"), database);
}

bool ServerAddress::holdsPassword() const {
    return parsedOptions(conninfo).contains("password");
}

QString Connection::user() const {
    return QString::fromUtf8(PQuser(m_conn));
}

quint32 Connection::typeOid(const char* name) {
    const QByteArray key(name);
    const auto known = m_types.constFind(key);
    if (known != m_types.constEnd())
        return *known;
    const quint32 oid =
        static_cast<quint32>(exec("SELECT $1::regtype::oid", {Param::text(QString::fromUtf8(name))}).number(0, 0));
    m_types.insert(key, oid);
    return oid;
}

} // namespace Institution

#pragma once

#include "institution/ServerError.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct pg_conn;
struct pg_result;

namespace Institution {

// One value handed to a statement as a parameter, never written into its text: UTF-8 text,
// binary bytes, or NULL.
class Param {
public:
    static Param text(const QString& text);
    // Text that is UTF-8 already (JSON this program wrote), taken as it is.
    static Param utf8(const QByteArray& text);
    static Param number(qint64 number);
    static Param optionalNumber(const std::optional<qint64>& number);
    // Sent in the binary form: a bytea's bytes, or any value in PostgreSQL's binary form where the
    // statement fixes the parameter's type.
    static Param bytes(const QByteArray& bytes);
    static Param null();

    const QByteArray& value() const { return m_value; }
    bool isNull() const { return m_null; }
    bool isBinary() const { return m_binary; }

private:
    QByteArray m_value;
    bool m_null = false;
    bool m_binary = false;
};
using Params = QList<Param>;

// The rows one statement returned. Values come as text unless the statement asked for binary.
class Rows {
public:
    explicit Rows(pg_result* result);
    int count() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    qint64 number(int row, int column) const;
    std::optional<qint64> optionalNumber(int row, int column) const;
    bool boolean(int row, int column) const;
    // A bytea: the raw value of a binary result, or the text form ("\x...") decoded.
    QByteArray bytes(int row, int column) const;

private:
    std::shared_ptr<pg_result> m_result;
};

// Where a connection goes: a libpq connection string or URI, and what the program's settings
// put over it (the login, TLS required with the server's certificate verified).
struct ServerAddress {
    QString conninfo;
    QString login;
    bool requireTls = false;

    // "login@host:port/database", as libpq reads the address with its own defaults; raises
    // ServerError (Refused) for a connection string libpq cannot read.
    QString describe() const;
    // Whether the connection string carries a password (which no file of ours may keep); raises
    // as describe() does.
    bool holdsPassword() const;
};

// One connection to the institution's server. Named by a libpq connection string or URI; what
// it leaves out (host, password, TLS files) libpq takes from its own environment (PGHOST,
// PGPASSWORD, PGPASSFILE / ~/.pgpass, PGSSLMODE, PGSSLROOTCERT, ...). Every failure raises
// ServerError. Not shared between threads: each worker opens its own.
class Connection {
public:
    // password: given to libpq in place of one from its environment (a password asked for).
    explicit Connection(const QString& conninfo, const QByteArray& password = QByteArray());
    explicit Connection(const ServerAddress& address, const QByteArray& password = QByteArray());
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    enum class Format { Text, Binary };
    Rows exec(const char* sql, const Params& params = {}, Format format = Format::Text);

    // The answer to one statement of a pipeline: its rows, or the server's refusal.
    struct Outcome {
        std::optional<Rows> rows;
        std::optional<ServerError> error;
    };
    // Runs one statement once for each parameter list, each in a transaction of its own, sending
    // them all before reading the answers, so that the server works through them without
    // waiting for the network between them. Raises ServerError when the run cannot go on (the
    // connection broken); a statement the server refuses only has its outcome say so.
    QList<Outcome> pipeline(const char* sql, const QList<Params>& each);
    // Several statements without parameters, as one text (the schema's migration steps).
    void script(const QByteArray& sql);

    // Runs work between BEGIN (or the given start) and COMMIT, rolling back when it throws.
    void transaction(const std::function<void()>& work, const char* begin = "BEGIN");
    // The rows of a query a batch at a time, through a cursor in a read-only transaction: a
    // result of any size never has to fit in memory.
    void stream(const char* sql, const Params& params, int batchRows, const std::function<void(const Rows&)>& each);

    // The SCRAM-SHA-256 verifier of a password for a login, computed here, so the password
    // itself never goes to the server.
    QByteArray passwordVerifier(const QByteArray& password, const QString& login);
    // The login the server authenticated.
    QString user() const;
    // The number the database gave a type ("gyvkt.upload_item"), which a value in the binary form
    // names; asked once for each connection.
    quint32 typeOid(const char* name);

private:
    [[noreturn]] void fail(const pg_result* result);
    // The name of the statement prepared on this connection for the text.
    QByteArray prepared(const char* sql, int parameters);
    pg_conn* m_conn = nullptr;
    QHash<QByteArray, QByteArray> m_prepared;
    QHash<QByteArray, quint32> m_types;
};

} // namespace Institution

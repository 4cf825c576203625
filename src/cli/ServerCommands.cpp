#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/SecretInput.h"
#include "cli/ServerConnection.h"
#include "institution/Accounts.h"
#include "institution/Connection.h"
#include "institution/Schema.h"
#include "services/HungarianDate.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Institution;

namespace {

const QString kRole = QStringLiteral("--role");
const QString kTeam = QStringLiteral("--team");
const QString kPasswordFile = QStringLiteral("--password-file");
const QString kSince = QStringLiteral("--since");
const QString kJson = QStringLiteral("--json");

// What a run of one server command does once connected; its exit status.
using Action = int (*)(Connection&, const CliArgs&);

int initSchema(Connection& connection, const CliArgs&) {
    const QList<int> applied = Schema::migrate(connection);
    const int version = Schema::installedVersion(connection);
    if (applied.isEmpty()) {
        printOut(QStringLiteral("A séma naprakész (%1. változat); semmi sem változott.\n").arg(version));
        return 0;
    }
    QStringList steps;
    for (const int step : applied)
        steps << QString::number(step);
    printOut(QStringLiteral("Alkalmazott lépések: %1. A séma most a(z) %2. változat.\n")
                 .arg(steps.join(QStringLiteral(", ")))
                 .arg(version));
    return 0;
}

int addTeam(Connection& connection, const CliArgs& args) {
    Accounts::addTeam(connection, args.positional.at(1));
    printOut(QStringLiteral("Csoport létrehozva: %1\n").arg(args.positional.at(1)));
    return 0;
}

int addUser(Connection& connection, const CliArgs& args) {
    const std::optional<Accounts::Role> role = Accounts::roleFromName(args.value(kRole));
    const QString login = args.positional.at(1);
    const std::optional<QByteArray> password =
        readSecret(args, kPasswordFile, "Az új felhasználó jelszava: ", "A jelszó még egyszer: ");
    if (!password)
        return 2;
    Accounts::addUser(connection, login, *role, args.value(kTeam), *password);
    printOut(QStringLiteral("Felhasználó létrehozva: %1 – %2\n")
                 .arg(login, Accounts::describe({login, Accounts::roleName(*role), args.value(kTeam)})));
    return 0;
}

int removeUser(Connection& connection, const CliArgs& args) {
    Accounts::removeUser(connection, args.positional.at(1));
    printOut(QStringLiteral("Felhasználó eltávolítva: %1. A vizsgálatai a kiszolgálón maradnak; a csoportja vezetője "
                            "továbbra is olvashatja őket.\n")
                 .arg(args.positional.at(1)));
    return 0;
}

int whoAmI(Connection& connection, const CliArgs&) {
    const std::optional<Accounts::Identity> identity = Accounts::whoAmI(connection);
    if (!identity) {
        printOut(QStringLiteral("Bejelentkezve: %1. Az archívumban ennek a felhasználónak nincs szerepe.\n")
                     .arg(connection.user()));
        return 0;
    }
    printOut(QStringLiteral("Bejelentkezve: %1 – %2\n").arg(identity->login, Accounts::describe(*identity)));
    return 0;
}

int audit(Connection& connection, const CliArgs& args) {
    std::optional<QDate> since;
    if (args.given(kSince)) {
        const QString text = args.value(kSince);
        const QDate iso = QDate::fromString(text, Qt::ISODate);
        since = iso.isValid() ? std::optional<QDate>(iso) : HungarianDate::parse(text);
        if (!since) {
            printErr(QStringLiteral("Nem dátum: %1 (ÉÉÉÉ-HH-NN vagy ÉÉÉÉ.HH.NN.)\n").arg(text));
            return 1;
        }
    }
    const bool json = args.has(kJson);
    const QString header =
        json ? QStringLiteral("[") : QStringLiteral("idő\tki\tcím\tmit\ttulajdonos\tfájl\trészlet\n");
    bool first = true;
    Accounts::readAudit(connection, since, [&](const Accounts::AuditEntry& e) {
        const QString at = e.at.toString(Qt::ISODateWithMs);
        if (json) {
            const QJsonObject o{{QStringLiteral("at"), at},
                                {QStringLiteral("login"), e.login},
                                {QStringLiteral("address"), e.clientAddress},
                                {QStringLiteral("action"), e.action},
                                {QStringLiteral("owner"), e.owner},
                                {QStringLiteral("file"), e.fileName},
                                {QStringLiteral("detail"), e.detail}};
            printOut((first ? header + QStringLiteral("\n  ") : QStringLiteral(",\n  ")) +
                     QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
        } else {
            printOut((first ? header : QString()) +
                     QStringList{at, e.login, e.clientAddress, e.action, e.owner, e.fileName, e.detail}.join(
                         QLatin1Char('\t')) +
                     QLatin1Char('\n'));
        }
        first = false;
    });
    if (first)
        printOut(header);
    if (json)
        printOut(first ? QStringLiteral("]\n") : QStringLiteral("\n]\n"));
    return 0;
}

struct ServerAction {
    const char* name;
    Action run;
    int operands; // positional arguments after the action's name
};

const ServerAction kActions[] = {{"init", initSchema, 0},        {"add-team", addTeam, 1}, {"add-user", addUser, 1},
                                 {"remove-user", removeUser, 1}, {"audit", audit, 0},      {"whoami", whoAmI, 0}};

int runServer(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {ServerConnection::kOption, kRole, kTeam, kPasswordFile, kSince}, {kJson}, args))
        return usageError(kServerCommand);
    if (args.help || args.positional.isEmpty())
        return args.help ? printHelp(kServerCommand) : usageError(kServerCommand);
    const ServerAction* action = nullptr;
    for (const ServerAction& a : kActions) {
        if (args.positional.first() == QLatin1String(a.name))
            action = &a;
    }
    if (!action || args.positional.size() != 1 + action->operands)
        return usageError(kServerCommand);
    if (action->run == addUser && !Accounts::roleFromName(args.value(kRole))) {
        printErr(QStringLiteral("Az add-user --role értéke examiner, lead, researcher vagy admin.\n"));
        return usageError(kServerCommand);
    }
    const std::unique_ptr<Connection> connection = ServerConnection::open(args);
    if (!connection)
        return 2;
    try {
        return action->run(*connection, args);
    } catch (const UserError& e) {
        return ServerConnection::failed(e.text());
    }
}

} // namespace

const Subcommand kServerCommand{
    "server", "gyvkt-cli server init|add-team|add-user|remove-user|audit|whoami … [--db URI]",
    "Az intézményi archívum kiszolgálójának kezelése (PostgreSQL 15 vagy újabb). A kapcsolatot a --db\n"
    "adja meg libpq-kapcsolati szövegként vagy URI-ként (postgresql://felhasználó@gép:5432/gyvkt?sslmode=\n"
    "verify-full); nélküle a GYVKT_DB környezeti változó, végül a libpq saját alapértékei (PGHOST,\n"
    "PGDATABASE …). A jelszó a libpq szokásai szerint jön (PGPASSWORD, PGPASSFILE vagy ~/.pgpass); ha\n"
    "nincs, a terminálon kéri. A TLS-t a PGSSLMODE és a PGSSLROOTCERT, vagy a kapcsolati szöveg állítja.\n"
    "\n"
    "  server init                a séma létrehozása vagy frissítése lépésenként, mindegyik külön\n"
    "                             tranzakcióban; másodszorra semmit sem változtat. Az adatbázis\n"
    "                             tulajdonosa futtatja, akinek szerepeket is szabad létrehoznia.\n"
    "  server add-team NÉV        új csoport\n"
    "  server add-user LOGIN --role examiner|lead|researcher|admin [--team NÉV] [--password-file F]\n"
    "                             új felhasználó (a kiszolgálón saját bejelentkező szerep). A jelszó az F\n"
    "                             fájl első sora, különben a terminálon kéri kétszer (legalább 8\n"
    "                             karakter); a kiszolgálóra csak SCRAM-ellenőrzőként jut el.\n"
    "                             examiner: csak a saját vizsgálatait látja és tölti fel; lead: a\n"
    "                             csoportjáét is olvassa (a --team kötelező); researcher: csak az\n"
    "                             álnevesített kutatási nézetet; admin: felhasználók, csoportok, napló.\n"
    "  server remove-user LOGIN   a felhasználó nem léphet be többé; a vizsgálatai megmaradnak\n"
    "  server audit [--json] [--since DÁTUM]\n"
    "                             a napló: minden feltöltés, tartalomolvasás, kutatási export és\n"
    "                             fiókváltozás (idő, ki, honnan, mit), a DÁTUM napjától (2024-05-06)\n"
    "  server whoami              kapcsolatpróba: ki van bejelentkezve, és mi a szerepe\n"
    "\n"
    "Kilépési kód: 0 siker, 1 hibás használat, 2 ha a kiszolgáló nem érhető el, a bejelentkezés vagy a\n"
    "TLS-ellenőrzés nem sikerült, vagy a kiszolgáló elutasította a kérést (az ok a hibakimeneten).\n",
    runServer};

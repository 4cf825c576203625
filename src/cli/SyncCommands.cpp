#include "base/DataRoot.h"
#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/EvaluationOptions.h"
#include "cli/ServerConnection.h"
#include "institution/ArchiveSync.h"
#include "institution/ClientIdentity.h"
#include "institution/Connection.h"
#include "institution/ServerArchive.h"

#include <QDir>
#include <QFileInfo>

using namespace Institution;

namespace {

const QString kRoot = QStringLiteral("--root");
const QString kTo = QStringLiteral("--to");
const QString kGcr = QStringLiteral("--gcr");

QString forkedText(const QString& name) {
    return QStringLiteral("%1: a kiszolgálón több újabb változata is van (két példányban is módosították); mind "
                          "megmaradt. A „gyvkt-cli pull” a kiszolgálóét a helyi mellé írja.\n")
        .arg(name);
}

int runSync(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {ServerConnection::kOption, kRoot, kGcr}, {}, args))
        return usageError(kSyncCommand);
    if (args.help)
        return printHelp(kSyncCommand);
    if (!args.positional.isEmpty())
        return usageError(kSyncCommand);
    const DataRoot root = args.given(kRoot) ? DataRoot(args.value(kRoot)) : DataRoot::fromEnvironment();
    // The columns the server lists are read with the key of the archive's own data root.
    EvaluationOptions options;
    if (const int status = options.load(args, root))
        return status;
    const QString folder = root.archiveFolder();
    if (!QFileInfo(folder).isDir())
        return ServerConnection::failed(
            QStringLiteral("Nincs archívum mappa: %1").arg(QDir::toNativeSeparators(folder)));
    const std::unique_ptr<Connection> connection = ServerConnection::open(args);
    if (!connection)
        return 2;
    SyncReport report;
    try {
        report = ArchiveSync::run(*connection, folder, options.key, clientIdentity(folder));
    } catch (const UserError& e) {
        return ServerConnection::failed(e.text());
    }
    for (const FileState& file : report.files) {
        if (file.state == FileState::State::Refused)
            printErr(QStringLiteral("%1: %2\n").arg(QDir(folder).filePath(file.fileName), file.reason));
    }
    for (const QString& name : report.forked())
        printOut(forkedText(name));
    const int refused = report.count(FileState::State::Refused);
    printOut(QStringLiteral("Feltöltve: %1, változatlan: %2, elutasítva: %3\n")
                 .arg(report.count(FileState::State::Uploaded))
                 .arg(report.count(FileState::State::Unchanged))
                 .arg(refused));
    return refused > 0 ? 1 : 0;
}

int runPull(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {ServerConnection::kOption, kTo}, {}, args))
        return usageError(kPullCommand);
    if (args.help)
        return printHelp(kPullCommand);
    if (!args.positional.isEmpty() || args.value(kTo).isEmpty())
        return usageError(kPullCommand);
    const QString folder = args.value(kTo);
    const std::unique_ptr<Connection> connection = ServerConnection::open(args);
    if (!connection)
        return 2;
    ServerArchive::PullReport report;
    try {
        report = ServerArchive::pull(*connection, folder, clientIdentity(folder));
    } catch (const UserError& e) {
        return ServerConnection::failed(e.text());
    }
    for (const auto& [local, server] : report.conflicts)
        printOut(QStringLiteral("%1: a helyi fájl eltér a kiszolgálóétól, megmaradt; a kiszolgálóé: %2\n")
                     .arg(QDir::toNativeSeparators(local), QDir::toNativeSeparators(server)));
    for (const QString& place : report.forked)
        printOut(forkedText(place));
    printOut(QStringLiteral("Letöltve: %1, változatlan: %2, ütközés: %3\n")
                 .arg(report.written)
                 .arg(report.unchanged)
                 .arg(report.conflicts.size()));
    return report.conflicts.isEmpty() ? 0 : 1;
}

} // namespace

const Subcommand kSyncCommand{
    "sync", "gyvkt-cli sync [--db URI] [--root DIR] [--gcr KEY.gcr]",
    "Feltölti az intézményi archívumba a gy_vkt/archivum minden vizsgálatát, amely új, vagy amióta a\n"
    "kiszolgáló utoljára látta, megváltozott, a fájl pontos bájtjaival: a kiszolgálón még nem lévő\n"
    "vizsgálatokat tömbökben, tömbönként egy tranzakcióban, a megváltozottakat egyenként, mindegyiket\n"
    "külön tranzakcióban. A változatlanokat el sem küldi. Ha a futás bármikor megszakad (leállítják, elmegy a hálózat "
    "vagy a\n"
    "kiszolgáló), az újabb futás folytatja: minden tartalom egyszer kerül fel, félig semmi. A hibás fájl\n"
    "nem kerül fel: a hibakimenet az olvasó üzenetével nevezi meg, a többi feltöltése folytatódik. Ha egy\n"
    "vizsgálatot két gépen is módosítottak, mindkét változat felkerül, és a parancs megnevezi.\n"
    "A kapcsolatot a --db adja meg (lásd: gyvkt-cli server --help).\n"
    "\n"
    "  --root DIR       az adatmappa (alapértelmezés: a program adatmappája)\n"
    "  --gcr KEY.gcr    a GCR-kulcs, amellyel a kiszolgáló oszlopai (GCR%) számolódnak (alapértelmezés: az\n"
    "                   adatmappa magyar.gcr fájlja)\n"
    "\n"
    "Kimenet: Feltöltve: N, változatlan: N, elutasítva: N. Kilépési kód: 0 siker, 1 ha egy fájl nem\n"
    "került fel, 2 ha a kiszolgáló nem érhető el, vagy a bejelentkezés nem sikerült (az ok a hibakimeneten).\n",
    runSync};

const Subcommand kPullCommand{
    "pull", "gyvkt-cli pull [--db URI] --to DIR",
    "Az intézményi archívumból minden olvasható vizsgálat legújabb változatát bájtra pontosan DIR-be írja:\n"
    "a sajátjait DIR-be, csoportvezetőnél a csoporttagokéit DIR/<felhasználó>/ alá. Eltérő helyi fájlt\n"
    "sosem ír felül: megtartja, a kiszolgálóét mellé írja <név>.kiszolgalorol.kvx néven, és jelzi az\n"
    "ütközést (a sync ezt a példányt nem tölti fel: egyesítse a helyivel, és törölje). Minden letöltés\n"
    "bekerül a kiszolgáló naplójába. A kapcsolatot a --db adja meg (lásd: gyvkt-cli server --help).\n"
    "\n"
    "  --to DIR         a célmappa (kötelező; ha nincs, létrejön, csak a tulajdonosa számára nyitva)\n"
    "\n"
    "Kilépési kód: 0 siker, 1 ha ütközés volt, 2 ha a kiszolgáló nem érhető el, a bejelentkezés nem\n"
    "sikerült, vagy egy fájl nem írható.\n",
    runPull};

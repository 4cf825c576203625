#include "cli/ServerResearch.h"

#include "base/UserError.h"
#include "cli/CliCommands.h"
#include "cli/ServerConnection.h"
#include "institution/Connection.h"
#include "institution/ResearchArchive.h"
#include "services/ArchiveExport.h"

using namespace Institution;

namespace {

// On a standby nothing can be written, the audit row neither: the person is told so.
void sayWhenUnaudited(bool audited) {
    if (!audited)
        printErr(QStringLiteral("A kiszolgáló csak olvasható tartalék: ez a lekérdezés nem került a naplójába (a "
                                "tartalék saját naplója őrzi, ha az be van kapcsolva).\n"));
}

} // namespace

int ServerResearch::exportTable(const CliArgs& args, const GcrKey& key, const CsvDialect& dialect) {
    const std::unique_ptr<Connection> connection = ServerConnection::open(args);
    if (!connection)
        return 2;
    const QString output = args.value(QStringLiteral("-o"));
    try {
        const ResearchArchive::ExportResult result = ResearchArchive::exportTable(*connection, output, key, dialect);
        for (const QString& error : result.errors)
            printErr(error + QLatin1Char('\n'));
        sayWhenUnaudited(result.audited);
    } catch (const UserError& e) {
        return ServerConnection::failed(output + QStringLiteral(": ") + e.text());
    }
    printOut(output + QLatin1Char('\n') + ArchiveExport::codebookPath(output) + QLatin1Char('\n'));
    return 0;
}

std::optional<ArchiveNorms::Report> ServerResearch::norms(const CliArgs& args, const GcrKey& key) {
    const std::unique_ptr<Connection> connection = ServerConnection::open(args);
    if (!connection)
        return std::nullopt;
    try {
        bool audited = true;
        ArchiveNorms::Report report = ResearchArchive::norms(*connection, key, &audited);
        sayWhenUnaudited(audited);
        return report;
    } catch (const UserError& e) {
        ServerConnection::failed(e.text());
        return std::nullopt;
    }
}

#pragma once

#include "cli/CliArgs.h"
#include "render/Csv.h"
#include "services/ArchiveNorms.h"

#include <optional>

class GcrKey;

// export --db and norms --db: the research commands on the institution's pseudonymized view.
namespace ServerResearch {

// Writes the table and its codebook to -o; the exit status.
int exportTable(const CliArgs& args, const GcrKey& key, const CsvDialect& dialect);
// The norms of every examination of the view; none, after the reason on stderr, when the server
// could not give them.
std::optional<ArchiveNorms::Report> norms(const CliArgs& args, const GcrKey& key);

} // namespace ServerResearch

#pragma once

#include <QString>

namespace Institution {

// The name under which the server knows one copy of an archive: one folder on one computer.
// The server keeps which versions each copy has held, so that an upload supersedes exactly what
// its copy was made from. It is a hash of the computer's identity and the folder's path, so it
// says neither where the folder is nor whose computer it is, and it is the same at every run.
QString clientIdentity(const QString& folder);

} // namespace Institution

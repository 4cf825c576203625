#pragma once

#include <QString>
#include <QStringList>

// Whether writing one file would overwrite another, judged by the file itself (its device and
// inode) rather than its name: a link, a hard link or another spelling of the path is the
// same file.
namespace FileIdentity {

// Both are one file; links are followed. Names of which one is no file yet are the same when
// they spell the same path.
bool same(const QString& a, const QString& b);

// The first of the inputs that writing to output would replace, or an empty string.
QString overwrittenInput(const QString& output, const QStringList& inputs);

// Whether path (which need not exist yet) is place, or lies below the folder place, links
// followed: where a write to path would land.
bool isInside(const QString& path, const QString& place);

// A key that two names of one file share and names of different files do not; empty for a name
// that is no file.
QString key(const QString& path);

} // namespace FileIdentity

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

} // namespace FileIdentity

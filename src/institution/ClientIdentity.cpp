#include "institution/ClientIdentity.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace Institution {

QString clientIdentity(const QString& folder) {
    QByteArray machine = QSysInfo::machineUniqueId();
    // A container may have no machine id; its host name is the next best thing.
    if (machine.isEmpty())
        machine = QSysInfo::machineHostName().toUtf8();
    const QFileInfo info(folder);
    const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayLiteral("gyvkt client\n"));
    hash.addData(machine);
    hash.addData(QByteArrayLiteral("\n"));
    hash.addData(path.toUtf8());
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace Institution

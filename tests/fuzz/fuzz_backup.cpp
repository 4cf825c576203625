// The restore on any bytes. The first byte chooses what the rest is: even, a backup file as it
// lies on the disk (the header's limits, the chunks, a cut or a damaged file); odd, the archive
// inside a backup, sealed here with the same passphrase (every entry check and the unpacking).
// Whatever happens, nothing may appear outside the target, a refusal leaves nothing at all, and
// a restored tree holds no link that leads out of it. Each run finds the decrypted folder a killed
// restore left, and must remove it. The key is derived at libsodium's least
// cost, after the header's own costs were checked against the reader's limits.
#include "FuzzInput.h"
#include "base/UserError.h"
#include "formats/BackupCipher.h"
#include "formats/BackupTree.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QByteArray kPassphrase = "fuzz-jelszo-12345";

bool staysBelow(const QString& folder, const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    // A dangling link leads nowhere; one that resolves must resolve inside.
    return canonical.isEmpty() || canonical == folder || canonical.startsWith(folder + QLatin1Char('/'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir scratch;
    static const BackupCipher::KdfCost cheap = BackupCipher::cheapestCost();
    if (size == 0)
        return 0;
    QByteArray bytes = fuzzBytes(data + 1, size - 1);
    if (data[0] & 1) {
        QByteArray sealed;
        BackupCipher::Sealer sealer([&](const char* d, qint64 n) { sealed.append(d, n); }, kPassphrase, cheap);
        sealer.write(bytes.constData(), bytes.size());
        sealer.finish();
        bytes = sealed;
    }
    const QString target = scratch.filePath(QStringLiteral("cel"));
    QDir().mkpath(scratch.filePath(QStringLiteral(".cel.visszaallitas-Fz12Ab/gy_vkt")));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    bool restored = true;
    try {
        BackupTree::restore(device, QStringLiteral("fuzz.vktmentes"), kPassphrase, target, &cheap);
    } catch (const UserError& e) {
        fuzzCheck(e.text().contains(QStringLiteral("fuzz.vktmentes")) || e.text().contains(target),
                  "a refusal names the backup or the target");
        restored = false;
    }
    const QStringList left =
        QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    fuzzCheck(left == (restored ? QStringList{QStringLiteral("cel")} : QStringList()),
              "only the target, and only after a restore");
    if (restored) {
        const QString root = QFileInfo(target).canonicalFilePath();
        QDirIterator it(target, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            fuzzCheck(staysBelow(root, it.next()), "no link leads out of the restored folder");
        QDir(target).removeRecursively();
    }
    return 0;
}

#include "app/BackupReminder.h"

#include "app/Platform.h"
#include "base/ClosedFolder.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList recordLines(const QDateTime& when) {
    return {when.toUTC().toString(Qt::ISODate)};
}

} // namespace

void BackupReminder::recordBackup(const DataRoot& root, const QDateTime& when) {
    TextFile::writeLines(root.lastBackupFile(), recordLines(when));
}

BackupTree::Stored BackupReminder::recordInBackup(const DataRoot& root, const QDateTime& when) {
    const QString file = root.lastBackupFile();
    if (!QFileInfo(QFileInfo(file).absolutePath()).isDir())
        return {};
    return {{QDir(root.tavrix()).relativeFilePath(file), TextFile::encodeLines(recordLines(when))}};
}

std::optional<QDateTime> BackupReminder::lastBackup(const DataRoot& root) {
    if (!QFileInfo::exists(root.lastBackupFile()))
        return std::nullopt;
    try {
        const QStringList lines = TextFile::readLines(root.lastBackupFile());
        const QDateTime when = lines.isEmpty() ? QDateTime() : QDateTime::fromString(lines.first(), Qt::ISODate);
        if (when.isValid())
            return when;
    } catch (const UserError&) {
    }
    return std::nullopt;
}

void BackupReminder::afterUnlock(const DataRoot& root, Platform& platform, const QDateTime& now) {
    const QString folder = QDir::toNativeSeparators(root.tavrix());
    if (ClosedFolder::openToOthers(root.tavrix()))
        platform.message(QStringLiteral("Az adatmappát (%1) a számítógép más felhasználói is megnyithatják, pedig "
                                        "gyermekek adatait őrzi. Zárja le, például ezzel a paranccsal:\n"
                                        "%2")
                             .arg(folder, ClosedFolder::closingCommand(root.tavrix())));
    const std::optional<QDateTime> last = lastBackup(root);
    if (!last)
        platform.message(QStringLiteral("Még nem készült biztonsági mentés a vizsgálatokról. Egy elromlott lemezzel "
                                        "minden elveszne: készítsen mentést a \"File\" → \"Biztonsági mentés…\" "
                                        "paranccsal."));
    else if (last->daysTo(now) > kMaxAgeDays)
        platform.message(QStringLiteral("Az utolsó biztonsági mentés %1 napja készült (%2). Készítsen újat a \"File\" "
                                        "→ \"Biztonsági mentés…\" paranccsal.")
                             .arg(last->daysTo(now))
                             .arg(last->toLocalTime().toString(QStringLiteral("yyyy.MM.dd."))));
}

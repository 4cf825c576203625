#include "app/StartupRecovery.h"

#include "base/TemporaryNames.h"
#include "base/UserError.h"
#include "formats/WorkingFolder.h"
#include "services/ExportSet.h"

#include <QFileInfo>

QStringList StartupRecovery::writtenFolders(const DataRoot& root) {
    // The folders of the files written (password store, layouts and lists in gy_vkt itself, help
    // chapters, examples) besides the three folders written by name.
    QStringList folders{root.workingFolder(), root.archiveFolder(), root.htmlFolder()};
    const QStringList files{root.passwordStore(), root.helpChapter(1), root.helpChapter(5), root.exampleFile(1, 1)};
    for (const QString& file : files) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

void StartupRecovery::run(const DataRoot& root, const QDateTime& programStart) {
    std::optional<UserError> failure;
    try {
        WorkingFolder::finishInterruptedReplacement(root);
    } catch (const UserError& e) {
        failure = e;
    }
    // While the journal is kept, the files it names are what a later start needs.
    const bool journalKept = QFileInfo::exists(WorkingFolder::journalPath(root));
    for (const QString& folder : writtenFolders(root)) {
        // An export interrupted there is settled first: its staged files are what completes it.
        bool exportKept = false;
        try {
            ExportSet::finishInterruptedIn(folder);
        } catch (const UserError& e) {
            exportKept = true;
            if (!failure)
                failure = e;
        }
        if (!exportKept && !(journalKept && folder == root.workingFolder()))
            TemporaryNames::removeStale(folder, programStart);
    }
    if (failure)
        throw *failure;
}

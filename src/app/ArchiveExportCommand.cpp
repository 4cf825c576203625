#include "app/ArchiveExportCommand.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/DataRoot.h"
#include "model/GcrKey.h"
#include "services/ArchiveExport.h"
#include "services/ArchiveFolder.h"

#include <QDir>

void ArchiveExportCommand::run(const DataRoot& root, Platform& platform) {
    const QString archive = root.archiveFolder();
    QStringList files;
    if (!reportFailure(platform, [&] { files = ArchiveFolder::examinationFiles(archive); }))
        return;
    if (files.isEmpty()) {
        platform.message(QStringLiteral("Az archívumban (%1) nincs vizsgálati fájl, nincs mit exportálni.")
                             .arg(QDir::toNativeSeparators(archive)));
        return;
    }
    const bool anonymize = platform.confirm(
        QStringLiteral("Anonim legyen az export?\n\n"
                       "Igen: a név, a vizsgálatvezető és a fájl neve nélkül, a kód helyén véletlen sorrendben "
                       "kiosztott sorszám (S0001, S0002, …), a dátumból csak az év és a hónap.\n"
                       "Nem: minden személyi adattal."));

    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("CSV-fájl (*.csv)|*.csv|minden fájl (*.*)|*.*");
    dialog.defaultSuffix = QStringLiteral("csv");
    dialog.initialFolder = QDir::homePath();
    dialog.fileName = anonymize ? QStringLiteral("vkt_archivum_anonim.csv") : QStringLiteral("vkt_archivum.csv");
    dialog.overwritePrompt = true;
    const QString output = platform.saveFileName(dialog);
    if (output.isEmpty())
        return;
    QString linkTable;
    if (anonymize && platform.confirm(QStringLiteral("Készüljön kapcsolótábla is?\n\n"
                                                     "Igen: egy külön fájl (serial, file, code) a sorszámokat "
                                                     "visszavezeti a vizsgálatokra. Őrizze az exporttól külön, és ne "
                                                     "adja ki vele együtt.\n"
                                                     "Nem: a sorszámok sehol sincsenek a vizsgálatokhoz kötve."))) {
        dialog.fileName = QStringLiteral("vkt_archivum_kapcsolotabla.csv");
        linkTable = platform.saveFileName(dialog);
        if (linkTable.isEmpty())
            return;
    }

    ArchiveExport::Result result;
    const bool written = reportFailure(platform, [&] {
        const GcrKey key = GcrKey::load(root.gcrKeyFile());
        result = ArchiveExport::build(files, key, {CsvDialect::excelHungarian(), anonymize});
        ArchiveExport::write(output, result, files, linkTable);
    });
    if (!written)
        return;
    QString text =
        QStringLiteral("Az export elkészült Excel magyar beállításaihoz\n"
                       "(pontosvessző, tizedesvessző).\n\n"
                       "Táblázat: %1\n"
                       "Az oszlopok leírása: %2\n\n"
                       "%3 vizsgálat, ebből hibás: %4.")
            .arg(QDir::toNativeSeparators(output), QDir::toNativeSeparators(ArchiveExport::codebookPath(output)))
            .arg(result.rows)
            .arg(result.errors.size());
    if (!result.errors.isEmpty())
        text += QStringLiteral(" A hibás sorok error oszlopa mondja meg, mi a baj.");
    if (!linkTable.isEmpty())
        text += QStringLiteral("\n\nKapcsolótábla: %1\nEzt őrizze az exporttól külön.")
                    .arg(QDir::toNativeSeparators(linkTable));
    platform.message(text);
}

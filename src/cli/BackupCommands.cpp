#include "app/BackupReminder.h"
#include "base/DataRoot.h"
#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "cli/SecretInput.h"
#include "formats/BackupTree.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

const QString kPassphraseFile = QStringLiteral("--passphrase-file");

// The passphrase, asked twice for a new backup.
std::optional<QByteArray> passphrase(const CliArgs& args, bool twice) {
    return readSecret(args, kPassphraseFile, "A mentés jelszava: ", twice ? "A jelszó még egyszer: " : nullptr);
}

QString summary(const BackupTree::Contents& c) {
    return QStringLiteral("%1 fájl, ebből %2 vizsgálat; %3 hivatkozás, %4 mappa; %5 bájt")
        .arg(c.files)
        .arg(c.examinations)
        .arg(c.links)
        .arg(c.folders)
        .arg(c.bytes);
}

// What a killed backup or restore of the same place had left beside it; the one of a restore
// is a decrypted copy of the whole backup.
void sayRemoved(const QStringList& leftovers) {
    for (const QString& left : leftovers)
        printErr(QStringLiteral("Egy korábbi, megszakadt mentés vagy visszaállítás maradéka törölve: %1\n")
                     .arg(QDir::toNativeSeparators(left)));
}

int runBackup(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {QStringLiteral("-o"), QStringLiteral("--root"), kPassphraseFile}, {}, args))
        return usageError(kBackupCommand);
    if (args.help)
        return printHelp(kBackupCommand);
    if (!args.positional.isEmpty() || !args.given(QStringLiteral("-o")))
        return usageError(kBackupCommand);
    const QString root = args.given(QStringLiteral("--root")) ? args.value(QStringLiteral("--root"))
                                                              : DataRoot::fromEnvironment().tavrix();
    const QString file = args.value(QStringLiteral("-o"));
    if (QFileInfo(file).isDir()) {
        printErr(QStringLiteral("A mentés helyén mappa áll: %1\nAdjon meg fájlnevet (például %2); nem készült "
                                "mentés.\n")
                     .arg(QDir::toNativeSeparators(file),
                          QDir::toNativeSeparators(QDir(file).filePath(QStringLiteral("gyvkt.vktmentes")))));
        return 2;
    }
    const std::optional<QByteArray> pass = passphrase(args, true);
    if (!pass)
        return 2;
    if (const QString problem = BackupCipher::passphraseProblem(*pass); !problem.isEmpty()) {
        printErr(problem + QStringLiteral(" Nem készült mentés.\n"));
        return 2;
    }
    sayRemoved(BackupTree::removeInterruptedBackup(file));
    const DataRoot data(root);
    const QDateTime when = QDateTime::currentDateTimeUtc();
    const BackupTree::Stored record = BackupReminder::recordInBackup(data, when);
    try {
        const BackupTree::Contents c = BackupTree::create(root, file, *pass, BackupCipher::standardCost(), {}, record);
        for (const QString& link : c.followedLinks)
            printOut(QStringLiteral("A hivatkozás helyett a tartalma került a mentésbe: %1\n").arg(link));
        printOut(QStringLiteral("Elkészült: %1 (%2)\n").arg(QDir::toNativeSeparators(file), summary(c)));
    } catch (const UserError& e) {
        printErr(e.text() + QLatin1Char('\n'));
        return 2;
    }
    // A data root backed up by a script is as safe as one backed up from the menu.
    if (!record.isEmpty()) {
        try {
            BackupReminder::recordBackup(data, when);
        } catch (const UserError& e) {
            printErr(QStringLiteral("A mentés elkészült, de az idejét nem sikerült feljegyezni:\n") + e.text() +
                     QLatin1Char('\n'));
        }
    }
    return 0;
}

int runVerify(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {kPassphraseFile}, {}, args))
        return usageError(kVerifyCommand);
    if (args.help)
        return printHelp(kVerifyCommand);
    if (args.positional.size() != 1)
        return usageError(kVerifyCommand);
    const std::optional<QByteArray> pass = passphrase(args, false);
    if (!pass)
        return 2;
    try {
        const BackupTree::Contents c = BackupTree::verifyFile(args.positional.first(), *pass);
        printOut(QStringLiteral("Hiteles: %1\nFájlok: %2\nVizsgálatok: %3\nHivatkozások: %4\nMappák: %5\n")
                     .arg(QDir::toNativeSeparators(args.positional.first()))
                     .arg(c.files)
                     .arg(c.examinations)
                     .arg(c.links)
                     .arg(c.folders));
        return 0;
    } catch (const UserError& e) {
        printErr(e.text() + QLatin1Char('\n'));
        return 2;
    }
}

int runRestore(const QStringList& arguments) {
    CliArgs args;
    if (!CliArgs::parse(arguments, {QStringLiteral("--to"), kPassphraseFile}, {}, args))
        return usageError(kRestoreCommand);
    if (args.help)
        return printHelp(kRestoreCommand);
    if (args.positional.size() != 1 || !args.given(QStringLiteral("--to")))
        return usageError(kRestoreCommand);
    const std::optional<QByteArray> pass = passphrase(args, false);
    if (!pass)
        return 2;
    const QString target = args.value(QStringLiteral("--to"));
    sayRemoved(BackupTree::removeInterruptedRestore(target));
    try {
        const BackupTree::Contents c = BackupTree::restoreFile(args.positional.first(), *pass, target);
        const QString shown = QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath());
        printOut(QStringLiteral("Visszaállítva: %1 (%2)\nA program rajta: TAVRIX_ROOT=\"%1\" gyvkt\n")
                     .arg(shown, summary(c)));
        return 0;
    } catch (const UserError& e) {
        printErr(e.text() + QLatin1Char('\n'));
        return 2;
    }
}

} // namespace

const Subcommand kBackupCommand{
    "backup", "gyvkt-cli backup -o FILE [--root DIR] [--passphrase-file PF]",
    "Titkosított biztonsági mentés az adatmappáról: minden fájl (a .gyvkt.lock kivételével), mappa és\n"
    "szimbolikus hivatkozás a mappához viszonyított útvonalával, módosítási idejével és jogosultságaival.\n"
    "A mappán belül maradó hivatkozások hivatkozásként kerülnek be; a mappán kívülre mutatók helyett az,\n"
    "amire mutatnak (például egy másik lemezen tartott archivum mappa), és a parancs felsorolja őket. Nem\n"
    "készül mentés, ha egy fájl neve nem UTF-8 kódolású, egy hivatkozás a semmibe vagy önmagába vezet,\n"
    "vagy FILE a mentett mappák egyikébe esne; az üzenet megnevezi, mi a baj. Jelszó nélkül semmi sem\n"
    "olvasható belőle, a fájlnevek sem. A fájl ideiglenes fájlba íródik, és csak hiánytalanul kerül a\n"
    "helyére; egy félbeszakadt mentés ideiglenes fájlját a következő mentés törli. Az adatmappa mentése\n"
    "a mentés idejét is feljegyzi (a program ebből tudja, mikor kell újra emlékeztetnie), a mentésbe is.\n"
    "\n"
    "  -o FILE              a mentés fájlja (kötelező)\n"
    "  --root DIR           a mentendő adatmappa (alapértelmezés: a program adatmappája)\n"
    "  --passphrase-file PF a jelszó a PF fájl első sorában; nélküle a terminálon kéri kétszer\n"
    "                       (legalább 12 karakter)\n",
    runBackup};

const Subcommand kVerifyCommand{
    "verify", "gyvkt-cli verify FILE [--passphrase-file PF]",
    "A mentés minden bájtját hitelesíti, és minden bejegyzést úgy ellenőriz, ahogy a visszaállítás (a\n"
    "nevek és az útvonalak hosszát is); semmit sem ír. Kiírja a fájlok, a vizsgálatok (archivum/*.kvx),\n"
    "a hivatkozások és a mappák számát. Kilépési kód 0 csak akkor, ha minden rendben van: akkor a mentés\n"
    "visszaállítható bármely 1000 bájtnál rövidebb útvonalú célmappába.\n"
    "\n"
    "  --passphrase-file PF a jelszó a PF fájl első sorában; nélküle a terminálon kéri\n",
    runVerify};

const Subcommand kRestoreCommand{
    "restore", "gyvkt-cli restore FILE --to DIR [--passphrase-file PF]",
    "Visszaállítás a DIR mappába, amely nem létezhet, vagy üres kell legyen. A tartalom DIR mellé, egy\n"
    "ideiglenes mappába kerül, és csak ha minden bájtja hiteles és minden bejegyzése rendben van\n"
    "(nincs abszolút útvonal, \"..\", DIR-en kívülre mutató hivatkozás, eszköz), akkor kapja meg a DIR\n"
    "nevet. Hibás jelszó, sérült vagy csonka fájl esetén nem lesz DIR; az üzenet megmondja, melyik\n"
    "ellenőrzés nem sikerült. A módosítási idők és a jogosultságok visszaállnak. Egy félbeszakadt\n"
    "visszaállítás ideiglenes mappáját (a mentés visszafejtett másolatát) a következő visszaállítás\n"
    "ugyanide törli. A program ezután így indul a visszaállított mappán: TAVRIX_ROOT=DIR gyvkt\n"
    "\n"
    "  --to DIR             a célmappa (kötelező)\n"
    "  --passphrase-file PF a jelszó a PF fájl első sorában; nélküle a terminálon kéri\n",
    runRestore};

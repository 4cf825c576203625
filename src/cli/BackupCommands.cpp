#include "app/BackupReminder.h"
#include "base/DataRoot.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "cli/CliArgs.h"
#include "cli/CliCommands.h"
#include "formats/BackupTree.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

const QString kPassphraseFile = QStringLiteral("--passphrase-file");

// One line typed on the terminal without echo; none when there is no terminal.
#ifdef Q_OS_WIN
std::optional<QByteArray> askOnTerminal(const char* prompt) {
    // The console of the program, even when its standard streams are redirected.
    const HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    const HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD saved = 0;
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE || !GetConsoleMode(in, &saved)) {
        for (const HANDLE h : {in, out}) {
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
        }
        return std::nullopt;
    }
    SetConsoleMode(in, (saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT);
    const QString shown = QString::fromUtf8(prompt);
    DWORD done = 0;
    WriteConsoleW(out, shown.utf16(), static_cast<DWORD>(shown.size()), &done, nullptr);
    QString line;
    wchar_t c = 0;
    while (ReadConsoleW(in, &c, 1, &done, nullptr) && done == 1 && c != L'\n')
        line.append(QChar(c));
    SetConsoleMode(in, saved);
    WriteConsoleW(out, L"\n", 1, &done, nullptr);
    CloseHandle(in);
    CloseHandle(out);
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line.toUtf8();
}
#else
std::optional<QByteArray> askOnTerminal(const char* prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0)
        return std::nullopt;
    termios saved{};
    const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    [[maybe_unused]] ssize_t written = ::write(tty, prompt, std::strlen(prompt));
    QByteArray line;
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n')
        line.append(c);
    if (isTerminal)
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    written = ::write(tty, "\n", 1);
    ::close(tty);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}
#endif

// The first line of --passphrase-file without its line end, else asked on the terminal (twice
// for a new backup). None, after a message, when there is none to be had.
std::optional<QByteArray> passphrase(const CliArgs& args, bool twice) {
    if (args.given(kPassphraseFile)) {
        const QString path = args.value(kPassphraseFile);
        const QFileInfo info(path);
        if (!info.exists()) {
            printErr(QStringLiteral("A jelszófájl nem létezik: %1\n").arg(QDir::toNativeSeparators(path)));
            return std::nullopt;
        }
        if (info.isDir()) {
            printErr(QStringLiteral("A jelszófájl helyén mappa áll: %1\n").arg(QDir::toNativeSeparators(path)));
            return std::nullopt;
        }
        try {
            QByteArray bytes = TextFile::readBytes(path);
            const qsizetype end = bytes.indexOf('\n');
            if (end >= 0)
                bytes.truncate(end);
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            return bytes;
        } catch (const UserError& e) {
            printErr(QStringLiteral("A jelszófájl nem olvasható: ") + QDir::toNativeSeparators(path) +
                     QLatin1Char('\n') + e.text() + QLatin1Char('\n'));
            return std::nullopt;
        }
    }
    const std::optional<QByteArray> first = askOnTerminal("A mentés jelszava: ");
    if (!first) {
        printErr(QStringLiteral("Nincs terminál, ahol a jelszót meg lehetne adni; adja meg a --passphrase-file "
                                "kapcsolóval.\n"));
        return std::nullopt;
    }
    if (twice && askOnTerminal("A jelszó még egyszer: ") != first) {
        printErr(QStringLiteral("A két jelszó nem egyezik.\n"));
        return std::nullopt;
    }
    return first;
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

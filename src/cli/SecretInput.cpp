#include "cli/SecretInput.h"

#include "base/TextFile.h"
#include "base/UserError.h"
#include "cli/CliCommands.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

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

std::optional<QByteArray> readSecret(const CliArgs& args, const QString& fileOption, const char* prompt,
                                     const char* again) {
    if (args.given(fileOption)) {
        const QString path = args.value(fileOption);
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
    const std::optional<QByteArray> first = askOnTerminal(prompt);
    if (!first) {
        printErr(QStringLiteral("Nincs terminál, ahol a jelszót meg lehetne adni; adja meg a %1 kapcsolóval.\n")
                     .arg(fileOption));
        return std::nullopt;
    }
    if (again && askOnTerminal(again) != first) {
        printErr(QStringLiteral("A két jelszó nem egyezik.\n"));
        return std::nullopt;
    }
    return first;
}

#include "gui/common/DesktopOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <memory>

DesktopOpener::DesktopOpener(QObject* parent) : QObject(parent) {}

DesktopOpener::~DesktopOpener() {
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        // Only the shell in between ends; the opener and what it started go on by themselves.
        process->kill();
        process->waitForFinished(1000);
    }
}

void DesktopOpener::open(const QString& path, std::function<void()> notOpened) {
    const QUrl url = QUrl::fromLocalFile(path);
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // The system's own call reports a missing program for the file type itself.
    const QString opener;
#else
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
#endif
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            notOpened();
        return;
    }
    auto* process = new QProcess(this);
    // Through a shell that waits for it in the background: when this program ends before the
    // opener, only the shell is ended, never the browser the opener may have become.
    process->setProgram(QStringLiteral("/bin/sh"));
    process->setArguments({QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" </dev/null & wait $!"), opener, path});
    // No pipes: a browser left running must not write into one that nobody reads.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    auto decided = std::make_shared<bool>(false);
    auto decide = [decided, notOpened](bool opened) {
        if (*decided)
            return;
        *decided = true;
        if (!opened)
            notOpened();
    };
    connect(process, &QProcess::finished, this, [process, decide](int code, QProcess::ExitStatus status) {
        decide(status == QProcess::NormalExit && code == 0);
        process->deleteLater();
    });
    connect(process, &QProcess::errorOccurred, this, [process, decide](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        decide(false);
        process->deleteLater();
    });
    QTimer::singleShot(kDecisionMilliseconds, process, [decide] { decide(true); });
    process->start();
}

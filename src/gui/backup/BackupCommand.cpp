#include "gui/backup/BackupCommand.h"

#include "app/BackupReminder.h"
#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "formats/BackupTree.h"
#include "gui/backup/TMentes.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <memory>

namespace {

// What the worker reports back to the GUI thread.
struct Outcome {
    BackupTree::Contents contents;
    QString error;
    bool cancelled = false;
};

struct Progress {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancel{false};
};

// What the examiner should know besides the backup itself.
QString notes(const BackupTree::Contents& c) {
    QString text;
    if (!c.followedLinks.isEmpty())
        text += QStringLiteral("\n\nA hivatkozások helyett a tartalmuk került a mentésbe:\n") +
                c.followedLinks.join(QLatin1Char('\n'));
    if (!c.removedLeftovers.isEmpty())
        text += QStringLiteral("\n\nEgy korábbi, megszakadt mentés maradéka törölve:\n") +
                QDir::toNativeSeparators(c.removedLeftovers.join(QLatin1Char('\n')));
    return text;
}

} // namespace

BackupCommand::BackupCommand(const DataRoot& root, Platform& platform, TMentes& dialog)
    : m_root(root), m_platform(platform), m_dialog(dialog) {}

void BackupCommand::run() {
    const std::optional<QByteArray> passphrase = m_dialog.askPassphrase();
    if (!passphrase)
        return;
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("gyermek VKT biztonsági mentés (*.vktmentes)|*.vktmentes|minden fájl (*.*)|*.*");
    dialog.defaultSuffix = QStringLiteral("vktmentes");
    dialog.initialFolder = QDir::homePath();
    dialog.fileName =
        QStringLiteral("gyvkt-mentes-") + m_platform.today().toString(Qt::ISODate) + QStringLiteral(".vktmentes");
    dialog.overwritePrompt = true;
    const QString path = m_platform.saveFileName(dialog);
    if (path.isEmpty())
        return;

    // The key derivation alone takes about a second and a large archive much longer: the work
    // runs on Qt Concurrent's pool while the GUI thread keeps drawing the progress bar.
    auto progress = std::make_shared<Progress>();
    const QString root = m_root.tavrix();
    const BackupCipher::KdfCost cost = m_cost;
    const QByteArray secret = *passphrase;
    // The backup holds the record of itself, so that a folder restored from it knows its age.
    const QDateTime when = QDateTime::currentDateTimeUtc();
    const BackupTree::Stored record = BackupReminder::recordInBackup(m_root, when);
    QFuture<Outcome> future = QtConcurrent::run([root, path, secret, cost, progress, record]() {
        Outcome outcome;
        try {
            const auto report = [progress](qint64 done, qint64 total) {
                progress->done = done;
                progress->total = total;
                return !progress->cancel;
            };
            outcome.contents = BackupTree::create(root, path, secret, cost, report, record);
        } catch (const UserError& e) {
            outcome.error = e.text();
        } catch (const BackupTree::Cancelled&) {
            outcome.cancelled = true;
        }
        return outcome;
    });

    QProgressDialog bar(QStringLiteral("A biztonsági mentés készül…"), QStringLiteral("Mégse"), 0, 1000,
                        m_dialog.parentWidget());
    bar.setObjectName(QStringLiteral("MentesFolyamat"));
    bar.setWindowTitle(QStringLiteral("gyermek VKT"));
    bar.setWindowModality(Qt::ApplicationModal);
    bar.setMinimumDuration(500);
    bar.setAutoClose(false);
    bar.setAutoReset(false);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &bar, [&bar, progress]() {
        const qint64 total = progress->total;
        bar.setValue(total > 0 ? static_cast<int>(progress->done * 1000 / total) : 0);
        if (bar.wasCanceled())
            progress->cancel = true;
    });
    tick.start(100);
    QFutureWatcher<Outcome> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Outcome>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(future);
    if (!future.isFinished())
        loop.exec();
    tick.stop();
    bar.close();

    const Outcome outcome = future.result();
    if (outcome.cancelled) {
        m_platform.message(QStringLiteral("A biztonsági mentés megszakadt; nem készült fájl."));
        return;
    }
    if (!outcome.error.isEmpty()) {
        m_platform.message(outcome.error);
        return;
    }
    reportFailure(m_platform, [this, &when] { BackupReminder::recordBackup(m_root, when); });
    const BackupTree::Contents& c = outcome.contents;
    m_platform.message(
        QStringLiteral("A biztonsági mentés elkészült:\n%1\n%2, %3 fájl, ebből %4 vizsgálat.\n\n"
                       "Visszaállítani csak a jelszóval lehet; őrizze meg biztos helyen.")
            .arg(QDir::toNativeSeparators(path), QLocale(QLocale::Hungarian).formattedDataSize(QFileInfo(path).size()))
            .arg(c.files)
            .arg(c.examinations) +
        notes(c));
}

#pragma once

#include "model/GcrKey.h"
#include "services/ArchiveListing.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>

// Lists an archive folder off the calling thread, so a window stays responsive over thousands of
// files, and keeps what it read for the next listing (see ArchiveCache). Its signals come on
// the thread the loader lives in.
class ArchiveLoader : public QObject {
    Q_OBJECT
public:
    explicit ArchiveLoader(QObject* parent = nullptr);
    // Stops a listing that runs and waits for it.
    ~ArchiveLoader() override;

    // Starts listing the folder under the key. A listing asked for while another runs stops that
    // one (what it read is kept) and runs after it; only the last one reports.
    void list(const QString& folder, const GcrKey& key);
    bool isListing() const { return m_running; }

signals:
    // Now and then while a listing runs: files done of the total.
    void progress(int done, int total);
    void listed(const QList<ArchiveRow>& rows);
    // The folder could not be read; the message names it.
    void failed(const QString& message);

private:
    struct Request {
        QString folder;
        GcrKey key;
    };
    void startListing(const Request& request);
    void listingEnded(quint64 generation, const QList<ArchiveRow>& rows, const QString& error);

    // Used by the worker only while a listing runs, by nobody else.
    ArchiveCache m_cache;
    // The listing that runs, or ran last.
    QFuture<void> m_listing;
    std::atomic<bool> m_stop{false};
    bool m_running = false;
    quint64 m_generation = 0;
    std::optional<Request> m_next;
};

#include "services/ArchiveLoader.h"

#include "base/UserError.h"

#include <QElapsedTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// Often enough for a progress bar, rarely enough not to flood the event queue.
constexpr qint64 kProgressIntervalMs = 40;

} // namespace

ArchiveLoader::ArchiveLoader(QObject* parent) : QObject(parent) {}

ArchiveLoader::~ArchiveLoader() {
    m_stop = true;
    m_listing.waitForFinished();
    // What the worker posted to this object is dropped with it.
}

void ArchiveLoader::list(const QString& folder, const GcrKey& key) {
    const Request request{folder, key};
    if (m_running) {
        m_next = request;
        m_stop = true;
        return;
    }
    startListing(request);
}

void ArchiveLoader::startListing(const Request& request) {
    m_running = true;
    m_stop = false;
    const quint64 generation = ++m_generation;
    // The one before has reported its end; what remains of it touches nothing of this object's,
    // but the cache is only ever used by one listing at a time.
    m_listing.waitForFinished();
    m_listing = QtConcurrent::run([this, request, generation] {
        QList<ArchiveRow> rows;
        QString error;
        QElapsedTimer sinceReport;
        sinceReport.start();
        try {
            rows = m_cache.list(request.folder, request.key, [&](int done, int total) {
                if (m_stop)
                    return false;
                if (done == 0 || done == total || sinceReport.elapsed() >= kProgressIntervalMs) {
                    sinceReport.restart();
                    QMetaObject::invokeMethod(
                        this,
                        [this, generation, done, total] {
                            if (generation == m_generation && m_running)
                                emit progress(done, total);
                        },
                        Qt::QueuedConnection);
                }
                return true;
            });
        } catch (const UserError& e) {
            error = e.text();
        }
        QMetaObject::invokeMethod(
            this, [this, generation, rows, error] { listingEnded(generation, rows, error); }, Qt::QueuedConnection);
    });
}

void ArchiveLoader::listingEnded(quint64 generation, const QList<ArchiveRow>& rows, const QString& error) {
    if (generation != m_generation)
        return;
    m_running = false;
    if (m_next) {
        const Request next = *m_next;
        m_next.reset();
        startListing(next);
        return;
    }
    if (!error.isEmpty())
        emit failed(error);
    else
        emit listed(rows);
}

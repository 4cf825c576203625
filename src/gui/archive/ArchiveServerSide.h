#pragma once

#include "gui/archive/ArchiveTable.h"

#include <QList>
#include <QObject>

// What the archive window shows of the institution's server: the "Intézmény" column of the
// folder's rows and the "Intézmény" view of the server's examinations. A build without the
// institution archive gives the window none, and it shows neither.
class ArchiveServerSide : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether a server is set up: without one the column and the view stay hidden.
    virtual bool isActive() const = 0;
    // How a row of the folder stands with the server.
    virtual ArchiveTableModel::InstitutionCell localCell(const ArchiveRow& row) const = 0;
    // A listing of the folder was shown: what waits with nothing under way goes up now.
    virtual void localRowsShown(const QList<ArchiveRow>& rows) = 0;
    // Lists the server's examinations the person may read, off the windows' thread: then
    // serverListed() or serverFailed().
    virtual void listServer() = 0;
    // The server view's column: who uploaded the examination.
    virtual ArchiveTableModel::InstitutionCell serverCell(const ArchiveRow& row) const = 0;
    // Opens a row of the server view as "Megnyitás" opens a file; serverRowOpened() when it is
    // in hand.
    virtual void openServerRow(const ArchiveRow& row) = 0;

signals:
    void activeChanged();
    void localStatesChanged();
    void serverListed(const QList<ArchiveRow>& rows);
    void serverFailed(const QString& message);
    void serverRowOpened();
};

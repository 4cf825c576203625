#pragma once

#include "gui/archive/ArchiveServerSide.h"
#include "institution/ServerArchive.h"

#include <QHash>

class Commands;
class ExamSession;
class InstitutionClient;
class Platform;

// The archive window's part of the institution archive: the upload state of each file of the
// folder, and the server's examinations, listed and opened off the window's thread.
class InstitutionArchiveSide : public ArchiveServerSide {
    Q_OBJECT
public:
    InstitutionArchiveSide(InstitutionClient& client, const ExamSession& session, Commands& commands,
                           Platform& platform, QObject* parent = nullptr);

    bool isActive() const override;
    ArchiveTableModel::InstitutionCell localCell(const ArchiveRow& row) const override;
    void localRowsShown(const QList<ArchiveRow>& rows) override;
    void listServer() override;
    ArchiveTableModel::InstitutionCell serverCell(const ArchiveRow& row) const override;
    void openServerRow(const ArchiveRow& row) override;

private:
    // The bytes of a version arrived: into the folder, unless a different file has the name
    // there (then the person chooses), and opened.
    void received(const Institution::ServerExamination& examination, const QByteArray& bytes);

    InstitutionClient& m_client;
    const ExamSession& m_session;
    Commands& m_commands;
    Platform& m_platform;
    // The last listing's examinations, by the path of their rows.
    QHash<QString, Institution::ServerExamination> m_listed;
    int m_listing = 0;
    bool m_opening = false;
};

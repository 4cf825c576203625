#pragma once

#include "app/InstitutionClient.h"
#include "gui/institution/InstitutionArchiveSide.h"

#include <QObject>

class Commands;
class ExamSession;
class Platform;
class TIntezmeny;
class TKiszolgaloJelszo;
class QWidget;

// The institution archive in the program's windows: the client that uploads, the settings
// dialog, the password asked when the server first wants it, the main window's indicator, the
// archive window's part and a researcher's export from the server.
class InstitutionDesktop : public QObject {
    Q_OBJECT
public:
    // owner: the main window, over which the dialogs open.
    InstitutionDesktop(ExamSession& session, Commands& commands, Platform& platform, QWidget* owner);

    InstitutionClient& client() { return m_client; }
    ArchiveServerSide* archiveSide() { return &m_side; }
    // "Beállítások" → "Intézményi archívum…".
    TIntezmeny* settingsWindow();
    TKiszolgaloJelszo* passwordWindow();

    // After the program password: the kept password, then the whole folder.
    void start() { m_client.start(); }
    // "Intézményi archívum…".
    void editSettings();

signals:
    // What the main window's indicator says; an empty text hides it.
    void indicatorChanged(const QString& text, const QString& tooltip);

private:
    void showIndicator();
    void askPassword(const QString& reason);
    void askWhenQuiet(const QString& reason);
    // "Exportálás CSV-be…" of a researcher: the server's pseudonymized export, if chosen.
    bool offerResearchExport();

    ExamSession& m_session;
    Platform& m_platform;
    QWidget* m_owner;
    InstitutionClient m_client;
    InstitutionArchiveSide m_side;
    TIntezmeny* m_settingsWindow = nullptr;
    TKiszolgaloJelszo* m_passwordWindow = nullptr;
    bool m_asking = false;
};

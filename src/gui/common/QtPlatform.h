#pragma once

#include "app/Platform.h"
#include "gui/common/DesktopOpener.h"
#include "gui/common/KeyboardReturn.h"
#include "gui/common/ScreenFit.h"

class QWidget;

// Places a window in the middle of the screen it is on, whatever its owner's position.
void centreOnScreen(QWidget* window);

// The platform as the program uses it: Qt's message boxes and file dialogs, the desktop's
// open action, the system beep, the clipboard and the system clock. While it lives, every
// dialog is kept on its screen and gives the keyboard back when it closes.
class QtPlatform : public Platform {
public:
    // Boxes and dialogs are owned by the active window, or by the fallback owner when none is.
    void setOwner(QWidget* owner) { m_owner = owner; }

    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    QString openFileName(const FileDialog& dialog) override;
    QString saveFileName(const FileDialog& dialog) override;
    void openDocument(const QString& path, std::function<void()> notOpened) override;
    void beep() override;
    void copyToClipboard(const QString& text) override;
    QDate today() override;

    // "desc|pattern|desc|pattern" as QFileDialog name filters ("desc (pattern)").
    static QStringList nameFilters(const QString& filter);

private:
    QWidget* owner() const;
    QString runFileDialog(const FileDialog& dialog, bool save);

    QWidget* m_owner = nullptr;
    DesktopOpener m_opener;
    ScreenFit m_screenFit;
    KeyboardReturn m_keyboardReturn;
};

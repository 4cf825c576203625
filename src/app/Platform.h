#pragma once

#include <QDate>
#include <QString>

#include <functional>

// What the windows ask of the desktop: message boxes, questions, file dialogs, the shell's
// open action, the beep, the clipboard and today's date. The program installs the Qt-backed
// implementation; tests install a scripted one that records every text and answers on cue.
class Platform {
public:
    struct FileDialog {
        QString filter;        // "description|pattern|description|pattern", first pair selected
        QString defaultSuffix; // added when the user types a name without one; may be empty
        QString initialFolder;
        QString fileName; // proposed name (save dialog)
        bool overwritePrompt = false;
    };

    virtual ~Platform();

    // A plain message box captioned "gyermek VKT".
    virtual void message(const QString& text) = 0;
    // A Yes/No question box (the toolkit's own buttons, in Hungarian); true for Yes.
    virtual bool confirm(const QString& text) = 0;
    // The chosen full path, or an empty string when the dialog was cancelled.
    virtual QString openFileName(const FileDialog& dialog) = 0;
    virtual QString saveFileName(const FileDialog& dialog) = 0;
    // Hands a document to the desktop's default open action. When the desktop cannot open it (no
    // program for the file type, no desktop at all), notOpened runs: at once, or from the event
    // loop as soon as the desktop has said so.
    virtual void openDocument(const QString& path, std::function<void()> notOpened) = 0;
    virtual void beep() = 0;
    virtual void copyToClipboard(const QString& text) = 0;
    virtual QDate today() = 0;
};

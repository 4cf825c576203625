#pragma once

#include "app/Platform.h"

#include <QDate>
#include <QQueue>
#include <QStringList>

// A platform for tests: records every message, question, dialog, beep, clipboard copy and
// shell open, and answers from prepared queues (Yes and "cancelled" when a queue is empty).
class ScriptedPlatform : public Platform {
public:
    struct DialogCall {
        bool save = false;
        FileDialog dialog;
    };

    void message(const QString& text) override;
    bool confirm(const QString& text) override;
    QString openFileName(const FileDialog& dialog) override;
    QString saveFileName(const FileDialog& dialog) override;
    void openDocument(const QString& path, std::function<void()> notOpened) override;
    void beep() override;
    void copyToClipboard(const QString& text) override;
    QDate today() override;

    void setNextAnswer(bool yes) { m_answers.enqueue(yes); }
    void setNextFileName(const QString& path) { m_fileNames.enqueue(path); }
    void setToday(const QDate& date) { m_today = date; }
    // The desktop has no program to open documents with.
    void setOpenDocumentFails(bool fails) { m_openFails = fails; }

    QStringList messages;
    QStringList questions;
    QList<DialogCall> dialogs;
    QStringList openedDocuments;
    QStringList clipboard;
    int beeps = 0;

private:
    QQueue<bool> m_answers;
    QQueue<QString> m_fileNames;
    QDate m_today = QDate(2007, 3, 5);
    bool m_openFails = false;
};

#include "ScriptedPlatform.h"

void ScriptedPlatform::message(const QString& text) {
    messages.append(text);
}

bool ScriptedPlatform::confirm(const QString& text) {
    questions.append(text);
    return m_answers.isEmpty() ? true : m_answers.dequeue();
}

QString ScriptedPlatform::openFileName(const FileDialog& dialog) {
    dialogs.append({false, dialog});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString ScriptedPlatform::saveFileName(const FileDialog& dialog) {
    dialogs.append({true, dialog});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

void ScriptedPlatform::openDocument(const QString& path, std::function<void()> notOpened) {
    openedDocuments.append(path);
    if (m_openFails)
        notOpened();
}

void ScriptedPlatform::beep() {
    ++beeps;
}

void ScriptedPlatform::copyToClipboard(const QString& text) {
    clipboard.append(text);
}

QDate ScriptedPlatform::today() {
    return m_today;
}

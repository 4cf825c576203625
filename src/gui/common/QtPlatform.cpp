#include "gui/common/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

QString applicationTitle() {
    return QStringLiteral("gyermek VKT");
}

} // namespace

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QWidget* QtPlatform::owner() const {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_owner;
}

void QtPlatform::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, owner());
    box.exec();
}

bool QtPlatform::confirm(const QString& text) {
    // The toolkit's own Yes and No, so that its Hungarian catalogue names them.
    QMessageBox box(QMessageBox::Question, QStringLiteral("Megerősítés"), text, QMessageBox::Yes | QMessageBox::No,
                    owner());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QStringList QtPlatform::nameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts.at(i + 1);
        // Several patterns are joined by ";" in the pipe form and by blanks in Qt's.
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last brackets; a description that already shows them
        // ("... (*.kvx)") would otherwise show them twice.
        const QString shown = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (parts.at(i).endsWith(shown))
            result.append(parts.at(i));
        else
            result.append(parts.at(i) + QLatin1Char(' ') + shown);
    }
    return result;
}

QString QtPlatform::runFileDialog(const FileDialog& dialog, bool save) {
    QFileDialog box(owner());
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(dialog.filter);
    if (!filters.isEmpty()) {
        box.setNameFilters(filters);
        box.selectNameFilter(filters.first());
    }
    if (!dialog.defaultSuffix.isEmpty())
        box.setDefaultSuffix(dialog.defaultSuffix);
    if (!dialog.initialFolder.isEmpty() && QDir(dialog.initialFolder).exists())
        box.setDirectory(dialog.initialFolder);
    if (!dialog.fileName.isEmpty())
        box.selectFile(dialog.fileName);
    box.setOption(QFileDialog::DontConfirmOverwrite, !dialog.overwritePrompt);
    if (box.exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = box.selectedFiles();
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen.first());
}

QString QtPlatform::openFileName(const FileDialog& dialog) {
    return runFileDialog(dialog, false);
}

QString QtPlatform::saveFileName(const FileDialog& dialog) {
    return runFileDialog(dialog, true);
}

void QtPlatform::openDocument(const QString& path, std::function<void()> notOpened) {
    m_opener.open(path, std::move(notOpened));
}

void QtPlatform::beep() {
    QApplication::beep();
}

void QtPlatform::copyToClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QDate QtPlatform::today() {
    return QDate::currentDate();
}

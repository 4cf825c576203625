#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Hands documents to the desktop's open action and finds out whether it worked. Qt's own call
// counts a started opener as success, but on a desktop without a browser xdg-open starts, finds
// no program and ends with a failure that only its error output tells. Here the opener runs as
// a process of its own and its exit status decides; one that is still running after a while
// has started a program in the foreground, which counts as opened.
class DesktopOpener : public QObject {
    Q_OBJECT
public:
    explicit DesktopOpener(QObject* parent = nullptr);
    // An opener still waited for is let go: the program it started must outlive this one.
    ~DesktopOpener() override;

    void open(const QString& path, std::function<void()> notOpened);

    // How long an opener may run before it counts as having opened the document.
    static constexpr int kDecisionMilliseconds = 8000;
};

#pragma once

#include <QObject>
#include <QRect>

class QWidget;

// Keeps the program's dialogs (message boxes, the file and print dialogs, the personal data, the
// archive) inside the screen they are on: when one shows, and whenever it grows (the print
// dialog's "Beállítások >>"), its frame is moved, and shrunk where it must be, into the screen's
// available area, so that its buttons stay within reach. The tool windows keep the places their
// layout files give them.
class ScreenFit : public QObject {
    Q_OBJECT
public:
    // Watches every window of the application while it lives.
    explicit ScreenFit(QObject* parent = nullptr);

    // The frame moved into the area, and made smaller where it does not fit, never below the
    // minimum; a window that cannot fit keeps its top left corner in the area.
    static QRect fitted(const QRect& frame, const QRect& area, const QSize& minimum);
    // Fits one window now.
    static void fit(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

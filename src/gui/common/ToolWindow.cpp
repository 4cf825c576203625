#include "gui/common/ToolWindow.h"

#include <QCloseEvent>

ToolWindow::ToolWindow(Frame frame, QWidget* parent) : QDialog(parent) {
    Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame == Frame::CloseBox)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

void ToolWindow::reject() {}

void ToolWindow::closeEvent(QCloseEvent* event) {
    // A dialog's close box would only reject, which does nothing here.
    event->accept();
}

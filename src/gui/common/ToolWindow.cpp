#include "gui/common/ToolWindow.h"

#include <QCloseEvent>

ToolWindow::ToolWindow(Frame frame, QWidget* parent) : QDialog(parent), m_frame(frame) {
    Qt::WindowFlags flags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame == Frame::CloseBox)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

void ToolWindow::reject() {}

void ToolWindow::closeEvent(QCloseEvent* event) {
    if (m_frame == Frame::CloseBox)
        event->accept();
    else
        event->ignore();
}

#include "gui/childscreen/ChildScreen.h"

#include "app/ExamSession.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace {

// Dark and even, so that nothing but the picture draws the eye.
const QColor kBackground(0x20, 0x20, 0x20);

// The picture's place on a window of the given size: centred, scaled to fit, proportions kept.
QRect pictureRect(const QSize& picture, const QSize& window) {
    if (picture.isEmpty() || window.isEmpty())
        return QRect();
    const QSize scaled = picture.scaled(window, Qt::KeepAspectRatio);
    return QRect(QPoint((window.width() - scaled.width()) / 2, (window.height() - scaled.height()) / 2), scaled);
}

} // namespace

ChildScreen::ChildScreen(ExamSession& session, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), m_session(session) {
    setObjectName(QStringLiteral("ChildScreen"));
    // Never drawn (there is no frame); the window manager and the task list know it by this.
    setWindowTitle(QStringLiteral("Gyermek képernyő"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::BlankCursor);
    connect(&m_session, &ExamSession::pictureSelected, this, qOverload<>(&QWidget::update));
}

void ChildScreen::showOn(QScreen* screen) {
    setScreen(screen);
    setGeometry(screen->geometry());
    // Full screen asks the window manager to put it over any panel of that screen too; unlike
    // showFullScreen() this does not ask for the keyboard.
    setWindowState(Qt::WindowFullScreen);
    show();
}

void ChildScreen::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    // QPixmap::load keeps the pictures in Qt's pixmap cache, so a repaint does not read the file
    // again. A picture that cannot be read leaves the background alone: the picture window says
    // so to the examiner, the child sees nothing of it.
    QPixmap picture;
    if (!picture.load(m_session.root().pictureFile(m_session.currentPicture())))
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(pictureRect(picture.size(), size()), picture);
}

void ChildScreen::closeEvent(QCloseEvent* event) {
    if (event->spontaneous())
        event->ignore();
}

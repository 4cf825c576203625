#include "gui/shell/Arrangements.h"

#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "formats/LayoutFile.h"
#include "gui/helptexts/THelpAblak.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/helptexts/Tvv_instr.h"
#include "gui/marking/TJeloles.h"
#include "gui/recording/TKepForm.h"
#include "gui/recording/Tvalasz.h"
#include "gui/shell/ProgramWindows.h"
#include "gui/shell/Tfomenu.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>

namespace {

const QString kRecording = QStringLiteral("felvetel");
const QString kMarking = QStringLiteral("jeloles");

// The eight windows of a layout file, in the order of its keys; those not made yet are made in
// this order, since the file places them all.
QList<QWidget*> layoutWindows(ProgramWindows& windows) {
    return {windows.fomenu,    windows.helpAblak(), windows.infoKeret(), windows.jeloles(),
            windows.kepForm(), windows.peldatar(),  windows.valasz(),    windows.vvInstr()};
}

QMargins frameMargins(const QWidget* w) {
    const QRect frame = w->frameGeometry();
    const QRect inner = w->geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                    frame.bottom() - inner.bottom());
}

// The frame a window has, or, before the window manager has framed it, the frame of another
// tool window: the files store outer sizes, and taking them as inner sizes would make every
// window grow by its frame at each save and load.
QMargins bestFrameMargins(const QWidget* w, ProgramWindows& windows) {
    const QMargins own = frameMargins(w);
    if (!own.isNull())
        return own;
    for (const QWidget* other : layoutWindows(windows)) {
        if (other != windows.fomenu && other->isVisible() && !frameMargins(other).isNull())
            return frameMargins(other);
    }
    return QMargins();
}

// Outer geometry: the frame's top-left corner and size, as the layout files store them. A window
// not framed yet counts with the frame it will get.
LayoutFile::Geometry outerGeometry(const QWidget* w, ProgramWindows& windows) {
    if (!frameMargins(w).isNull() || w->isMaximized()) {
        const QRect frame = w->frameGeometry();
        return {frame.left(), frame.top(), frame.height(), frame.width()};
    }
    const QMargins m = bestFrameMargins(w, windows);
    return {w->x(), w->y(), w->height() + m.top() + m.bottom(), w->width() + m.left() + m.right()};
}

// Everything the screens together show, where a window may be placed.
QRect screensArea() {
    QRect area;
    for (const QScreen* screen : QGuiApplication::screens())
        area = area.united(screen->availableGeometry());
    return area.isEmpty() ? QRect(0, 0, 1024, 768) : area;
}

void setOuterGeometry(QWidget* w, const LayoutFile::Geometry& stored, const QMargins& frame) {
    // A maximized main window stays maximized; its stored size is that of the screen anyway.
    if (w->isMaximized())
        return;
    // A file may hold any numbers: a window is never placed out of reach, shrunk to nothing or
    // grown beyond the screens.
    const QSize minimum = w->minimumSizeHint().expandedTo(QSize(120, 80)).grownBy(frame);
    const LayoutFile::Geometry g = LayoutFile::withinReach(stored, screensArea(), minimum);
    w->move(g.left, g.top);
    w->resize(g.width - frame.left() - frame.right(), g.height - frame.top() - frame.bottom());
}

void setGeometries(ProgramWindows& windows, const QList<LayoutFile::Entry>& entries) {
    const QList<QWidget*> placed = layoutWindows(windows);
    for (const LayoutFile::Entry& entry : entries) {
        QWidget* w = placed.at(LayoutFile::keys().indexOf(entry.key));
        setOuterGeometry(w, entry.geometry, bestFrameMargins(w, windows));
    }
}

// Check marks and mode, the layout file, then the windows hidden and shown in their order.
void arrange(ExamSession& session, Platform& platform, ProgramWindows& windows, const QString& mode,
             const QList<QWidget*>& hideFirst, const QList<QWidget*>& show, QWidget* hideLast) {
    windows.fomenu->setArrangementChecks(mode == kRecording, mode == kMarking);
    session.setLayoutMode(mode);
    QList<LayoutFile::Entry> entries;
    if (!reportFailure(platform, [&] { entries = LayoutFile::read(session.root().layoutFile(mode)); }))
        return;
    setGeometries(windows, entries);
    for (QWidget* w : hideFirst)
        w->hide();
    // The answer window has the keyboard in both arrangements: the others come up without taking
    // it (a window manager gives it to each window it maps), and the answer window asks for it.
    for (QWidget* w : show) {
        w->setAttribute(Qt::WA_ShowWithoutActivating, w != windows.valasz());
        w->show();
    }
    if (hideLast)
        hideLast->hide();
    windows.valasz()->raise();
    windows.valasz()->activateWindow();
    // A window's frame is only known once it is on screen, and some window managers report it
    // a moment later; placing the windows again then makes the outer sizes the file's.
    setGeometries(windows, entries);
    QTimer::singleShot(300, windows.fomenu, [&windows, entries]() { setGeometries(windows, entries); });
}

} // namespace

Arrangements::Arrangements(ExamSession& session, Platform& platform, ProgramWindows& windows)
    : m_session(session), m_platform(platform), m_windows(windows) {}

void Arrangements::recording() {
    ProgramWindows& w = m_windows;
    layoutWindows(w);
    arrange(m_session, m_platform, w, kRecording, {w.infoKeret(), w.jeloles(), w.peldatar()},
            {w.kepForm(), w.valasz(), w.vvInstr()}, nullptr);
}

void Arrangements::marking() {
    ProgramWindows& w = m_windows;
    layoutWindows(w);
    arrange(m_session, m_platform, w, kMarking, {}, {w.infoKeret(), w.jeloles(), w.kepForm(), w.peldatar(), w.valasz()},
            w.vvInstr());
}

void Arrangements::switchKeyboard() {
    TJeloles* marking = m_windows.jeloles.made();
    if (marking && marking->isVisible() && !marking->isActiveWindow())
        marking->takeKeyboard();
    else if (m_windows.valasz()->isVisible())
        m_windows.valasz()->takeKeyboard();
}

void Arrangements::saveLayout() {
    if (m_session.layoutMode().isEmpty())
        return;
    QList<LayoutFile::Geometry> geometries;
    for (const QWidget* w : layoutWindows(m_windows))
        geometries.append(outerGeometry(w, m_windows));
    reportFailure(m_platform,
                  [&] { LayoutFile::write(m_session.root().layoutFile(m_session.layoutMode()), geometries); });
}

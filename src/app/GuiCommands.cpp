#include "app/GuiCommands.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "app/LayoutFile.h"
#include "app/TKevesValasz.h"
#include "app/Tfomenu.h"
#include "evaluation/Evaluate.h"
#include "exam/WorkingFolder.h"
#include "helptexts/THelpAblak.h"
#include "helptexts/TInfoKeret.h"
#include "helptexts/TPeldatar.h"
#include "helptexts/Tvv_instr.h"
#include "marking/TJeloles.h"
#include "platform/FileError.h"
#include "recording/TKepForm.h"
#include "recording/TSzemAd.h"
#include "recording/Tvalasz.h"
#include "report/ProtocolWriter.h"

#include <QMargins>
#include <QTimer>

namespace {

const QString kRecording = QStringLiteral("felvetel");
const QString kMarking = QStringLiteral("jeloles");

// The eight windows of a layout file, in the order of its keys.
QList<QWidget*> layoutWindows(Forms& forms) {
    return {forms.fomenu,  forms.helpAblak, forms.infoKeret, forms.jeloles,
            forms.kepForm, forms.peldatar,  forms.valasz,    forms.vvInstr};
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
QMargins bestFrameMargins(const QWidget* w, Forms& forms) {
    const QMargins own = frameMargins(w);
    if (!own.isNull())
        return own;
    for (const QWidget* other : layoutWindows(forms)) {
        if (other != forms.fomenu && other->isVisible() && !frameMargins(other).isNull())
            return frameMargins(other);
    }
    return QMargins();
}

// Outer geometry: the frame's top-left corner and size, as the layout files store them. A window
// not framed yet counts with the frame it will get.
LayoutFile::Geometry outerGeometry(const QWidget* w, Forms& forms) {
    if (!frameMargins(w).isNull() || w->isMaximized()) {
        const QRect frame = w->frameGeometry();
        return {frame.left(), frame.top(), frame.height(), frame.width()};
    }
    const QMargins m = bestFrameMargins(w, forms);
    return {w->x(), w->y(), w->height() + m.top() + m.bottom(), w->width() + m.left() + m.right()};
}

void setOuterGeometry(QWidget* w, const LayoutFile::Geometry& g, const QMargins& frame) {
    // A maximized main window stays maximized; its stored size is that of the screen anyway.
    if (w->isMaximized())
        return;
    w->move(g.left, g.top);
    w->resize(std::max(1, g.width - frame.left() - frame.right()),
              std::max(1, g.height - frame.top() - frame.bottom()));
}

void setGeometries(Forms& forms, const QList<LayoutFile::Entry>& entries) {
    const QList<QWidget*> windows = layoutWindows(forms);
    for (const LayoutFile::Entry& entry : entries) {
        QWidget* w = windows.at(LayoutFile::keys().indexOf(entry.key));
        setOuterGeometry(w, entry.geometry, bestFrameMargins(w, forms));
    }
}

// Check marks and mode, the layout file, then the windows hidden and shown in their order.
void arrange(AppState& state, Forms& forms, const QString& mode, const QList<QWidget*>& hideFirst,
             const QList<QWidget*>& show, QWidget* hideLast) {
    forms.fomenu->setArrangementChecks(mode == kRecording, mode == kMarking);
    state.layoutMode = mode;
    QList<LayoutFile::Entry> entries;
    try {
        entries = LayoutFile::read(state.root.layoutFile(mode));
    } catch (const FileError& e) {
        state.platform.message(e.text());
        return;
    }
    setGeometries(forms, entries);
    for (QWidget* w : hideFirst)
        w->hide();
    for (QWidget* w : show)
        w->show();
    if (hideLast)
        hideLast->hide();
    // A window's frame is only known once it is on screen, and some window managers report it
    // a moment later; placing the windows again then makes the outer sizes the file's.
    setGeometries(forms, entries);
    QTimer::singleShot(300, forms.fomenu, [&forms, entries]() { setGeometries(forms, entries); });
}

} // namespace

void Commands::newExamination(AppState& state, Forms& forms) {
    forms.szemAd->resetForNewExamination();
    state.grid.clearScoringLines();
    try {
        WorkingFolder::resetAnswerFiles(state.root);
    } catch (const FileError& e) {
        state.platform.message(e.text());
        return;
    }
    // The answer window still shows the previous examination's text; an edit kept there
    // would later be written into the new examination's files.
    forms.valasz->reloadAnswer();
    forms.szemAd->exec();
}

void Commands::openExamination(AppState& state, Forms& forms) {
    Platform::FileDialog dialog;
    dialog.filter = QStringLiteral("gyermek VKT. vizsg. eredm. (*.kvx)|*.kvx|minden fájl (*.*)|*.*");
    dialog.initialFolder = state.root.archiveFolder();
    const QString path = state.platform.openFileName(dialog);
    if (!path.isEmpty()) {
        if (!forms.fomenu->openExaminationFile(path))
            return;
    }
    forms.jeloles->recomputePoints();
}

void Commands::recordingArrangement(AppState& state, Forms& forms) {
    arrange(state, forms, kRecording, {forms.infoKeret, forms.jeloles, forms.peldatar},
            {forms.kepForm, forms.valasz, forms.vvInstr}, nullptr);
}

void Commands::markingArrangement(AppState& state, Forms& forms) {
    arrange(state, forms, kMarking, {}, {forms.infoKeret, forms.jeloles, forms.kepForm, forms.peldatar, forms.valasz},
            forms.vvInstr);
}

void Commands::finishedProtocol(AppState& state, Forms& forms) {
    const int marked = state.grid.markedPictureCount();
    if (marked < kMinimumMarkedPictures) {
        forms.kevesValasz->setCount(marked);
        forms.kevesValasz->exec();
        return;
    }
    try {
        state.lastEvaluation = evaluate(state.grid, state.personal.age, state.grid.gcrPoints(), state.decimalSeparator);
    } catch (const EvaluationError& e) {
        state.platform.message(e.text());
        return;
    }
    const QString path = state.root.protocolFile(state.personal.code);
    try {
        ProtocolWriter::writeProtocol(path, state.personal, state.grid, *state.lastEvaluation, state.decimalSeparator);
    } catch (const FileError& e) {
        state.platform.message(e.text());
        return;
    }
    state.platform.openDocument(path);
}

void Commands::saveLayout(AppState& state, Forms& forms) {
    if (state.layoutMode.isEmpty())
        return;
    QList<LayoutFile::Geometry> geometries;
    for (const QWidget* w : layoutWindows(forms))
        geometries.append(outerGeometry(w, forms));
    try {
        LayoutFile::write(state.root.layoutFile(state.layoutMode), geometries);
    } catch (const FileError& e) {
        state.platform.message(e.text());
    }
}

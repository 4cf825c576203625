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

#include <QAction>

namespace {

const QString kRecording = QStringLiteral("felvetel");
const QString kMarking = QStringLiteral("jeloles");

// The eight windows of a layout file, in the order of its keys.
QList<QWidget*> layoutWindows(Forms& forms) {
    return {forms.fomenu,  forms.helpAblak, forms.infoKeret, forms.jeloles,
            forms.kepForm, forms.peldatar,  forms.valasz,    forms.vvInstr};
}

void setChecks(Forms& forms, bool recording) {
    if (QAction* a = forms.fomenu->findChild<QAction*>(QStringLiteral("Felvtel1")))
        a->setChecked(recording);
    if (QAction* a = forms.fomenu->findChild<QAction*>(QStringLiteral("Jells1")))
        a->setChecked(!recording);
}

// Outer geometry: the frame's top-left corner and size, as the layout files store them.
LayoutFile::Geometry outerGeometry(const QWidget* w) {
    const QRect frame = w->frameGeometry();
    return {frame.left(), frame.top(), frame.height(), frame.width()};
}

void setOuterGeometry(QWidget* w, const LayoutFile::Geometry& g) {
    // A maximized main window stays maximized; its stored size is that of the screen anyway.
    if (w->isMaximized())
        return;
    const QRect frame = w->frameGeometry();
    const int extraWidth = frame.width() - w->width();
    const int extraHeight = frame.height() - w->height();
    w->move(g.left, g.top);
    w->resize(std::max(1, g.width - extraWidth), std::max(1, g.height - extraHeight));
}

void setGeometries(Forms& forms, const QList<LayoutFile::Entry>& entries) {
    const QList<QWidget*> windows = layoutWindows(forms);
    for (const LayoutFile::Entry& entry : entries)
        setOuterGeometry(windows.at(LayoutFile::keys().indexOf(entry.key)), entry.geometry);
}

// Check marks and mode, the layout file, then the windows hidden and shown in their order.
void arrange(AppState& state, Forms& forms, const QString& mode, const QList<QWidget*>& hideFirst,
             const QList<QWidget*>& show, QWidget* hideLast) {
    setChecks(forms, mode == kRecording);
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
    // A window's frame is only known once it is on screen; placing it again makes the outer
    // size the one the file gives.
    setGeometries(forms, entries);
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
        geometries.append(outerGeometry(w));
    try {
        LayoutFile::write(state.root.layoutFile(state.layoutMode), geometries);
    } catch (const FileError& e) {
        state.platform.message(e.text());
    }
}

#pragma once

class AppState;
struct Forms;
class QWidget;

// The examination commands of the main window's menus: each is a short sequence of calls
// into the windows and the core that own the data. File errors are reported through the
// platform's message box and end the command where it failed.
namespace Commands {

// "Új vizsgálat": reset the personal data (code kept), the coding columns and the 24 answer
// files, then the personal-data window, modally.
void newExamination(AppState& state, Forms& forms);
// "Megnyitás": the open dialog, the file read in, then the points recomputed (also after a
// cancelled dialog, not after a failed read).
void openExamination(AppState& state, Forms& forms);
// "Felvétel" and "Jelölés": check marks, layout mode, the layout file, then the windows.
void recordingArrangement(AppState& state, Forms& forms);
void markingArrangement(AppState& state, Forms& forms);
// "Kész jegyzőkönyv": with at least 18 marked pictures evaluate, write html/<code>.html and
// open it; with fewer the too-few dialog.
void finishedProtocol(AppState& state, Forms& forms);
// "Ablakkonfiguráció mentése": the current arrangement's layout file; nothing before an
// arrangement was chosen.
void saveLayout(AppState& state, Forms& forms);

constexpr int kMinimumMarkedPictures = 18;

} // namespace Commands

#pragma once

class ExamSession;
class Platform;
struct ProgramWindows;

// The two arrangements of the tool windows and their layout files: "Felvétel" and "Jelölés"
// set the check marks and the layout mode, apply the mode's file and show and hide the
// windows; "Ablakkonfiguráció mentése" writes the current mode's file.
class Arrangements {
public:
    Arrangements(ExamSession& session, Platform& platform, ProgramWindows& windows);

    void recording();
    void marking();
    // Nothing happens before an arrangement was chosen: there is no file for it.
    void saveLayout();
    // F6: the keyboard to the marking window when it is up and does not have it, else to the
    // answer window, so that answers and codes are typed without the mouse.
    void switchKeyboard();

private:
    ExamSession& m_session;
    Platform& m_platform;
    ProgramWindows& m_windows;
};

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

private:
    ExamSession& m_session;
    Platform& m_platform;
    ProgramWindows& m_windows;
};

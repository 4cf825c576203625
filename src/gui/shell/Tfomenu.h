#pragma once

#include <QMainWindow>

class Arrangements;
class Commands;
class DataRoot;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSessionManager;
class QWidget;

// Main window "Tavrix gyermek VKT": the background picture, the password field and the menu bar.
//
//   Image1       background picture stretched over the whole client area
//   Panel1       pale yellow box at the top left, visible until the password is accepted
//   Label5       "jelszó:"
//   Edit1        the password field (echo "*"); every change is checked against the password
//   MainMenu1    menu bar: nn1 "&File", Vizsglat1 "&Vizsgálat", Belltsok1 "Beállítások",
//                Ablakok "&Súgó"; all four, Betlt1 "Megnyitás" and Exportals1 "Exportálás CSV-be…"
//                start disabled; so do Nyomtats1 "Nyomtatás…" (Ctrl+P), JegyzknyvPDFbe1
//                "Jegyzőkönyv PDF-be…" and Profil1 "Profil", and Archivum1 "Archívum…" (Ctrl+R);
//                Biztonsgimentes1 "Biztonsági mentés…" waits inside the locked "&File";
//                "&Vizsgálat" ends with the child's screen items (ChildScreenCommand)
//
// The keys of the everyday path stand beside their items and work from the tool windows too:
// Ctrl+N "Új vizsgálat", Ctrl+S "Mentés", Ctrl+PgDown Kovetkezokep1 "Következő kép", Ctrl+PgUp
// Elozokep1 "Előző kép", F6 Valtas1 "Válaszablak / jelölőablak" (the keyboard to the other of the
// two), and F1 "Útmutató a VKT alkalmazásához", which from another window than this one shows the
// help of that window.
class Tfomenu : public QMainWindow {
    Q_OBJECT
public:
    Tfomenu(const DataRoot& root, Commands& commands, Arrangements& arrangements, QWidget* parent = nullptr);

    bool isUnlocked() const { return m_unlocked; }
    // Puts a text into the password field as if typed (the command-line handover).
    void enterPassword(const QString& text);
    // "&Vizsgálat", for the items that other parts of the program put at its end.
    QMenu* examinationMenu() const { return Vizsglat1; }
    // Sets or clears the check marks of the two arrangements.
    void setArrangementChecks(bool recording, bool marking);
    // The desktop session is ending: the close query runs while the session manager lets the
    // program ask; a No keeps the session (where the manager allows it).
    void sessionEnding(QSessionManager& manager);

signals:
    // The close query ended with Yes: the program is to end.
    void closeAccepted();
    // The windows the menus open besides the examination commands.
    void helpChapterWanted(int chapter);
    void aboutWanted();
    void passwordChangeWanted();
    // F1: the help of the window in front (this one when it is in front).
    void windowHelpWanted(QWidget* window);
    // The protocol on paper and the profile window, which Program wires.
    void profileWanted();
    void printWanted();
    void pdfWanted();
    // "Archívum…": the archive window, which Program wires.
    void archiveWanted();
    // "Biztonsági mentés…".
    void backupWanted();
    // The password was accepted (once per run).
    void unlocked();

public slots:
    void Edit1Change();

    void jvizsglat1Click();
    void Ment1Click();
    void Betlt1Click();
    void Archivum1Click();
    void Exportals1Click();
    void Biztonsgimentes1Click();
    void Ablakkonfigurcimentse1Click();
    void KIlp1Click();
    void Szemadatok1Click();
    void Kovetkezokep1Click();
    void Elozokep1Click();
    void Valtas1Click();
    void Felvtel1Click();
    void Jells1Click();
    void Kszjegyzknyv1Click();
    void Profil1Click();
    void Nyomtats1Click();
    void JegyzknyvPDFbe1Click();
    void Jelsz1Click();
    void Dominelrend1Click();
    void Ajells1Click();
    void Feldolgozs1Click();
    void Azeredmnyekrtelmezse1Click();
    void AVKTszituciselemzse1Click();
    void aprogramnvjegye1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildBackground(const DataRoot& root, QWidget* central);
    void buildPasswordPanel(QWidget* central);
    void buildMenus();
    QMenu* addMenu(const QString& title, const char* name);
    QAction* addItem(QMenu* menu, const QString& text, const char* name, void (Tfomenu::*handler)());
    void addSeparator(QMenu* menu, const char* name);
    void unlock();

    Commands& m_commands;
    Arrangements& m_arrangements;
    bool m_unlocked = false;
    // The close query was answered already (at the session's end); it is not asked again.
    bool m_closeAgreed = false;

    QLabel* Image1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QMenu* nn1 = nullptr;
    QMenu* Vizsglat1 = nullptr;
    QMenu* Belltsok1 = nullptr;
    QMenu* Ablakok = nullptr;
    QAction* Betlt1 = nullptr;
    QAction* Archivum1 = nullptr;
    QAction* Exportals1 = nullptr;
    QAction* Felvtel1 = nullptr;
    QAction* Jells1 = nullptr;
    QAction* Nyomtats1 = nullptr;
    QAction* JegyzknyvPDFbe1 = nullptr;
    QAction* Profil1 = nullptr;
};

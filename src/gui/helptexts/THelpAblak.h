#pragma once

#include "base/DataRoot.h"
#include "gui/common/ToolWindow.h"

class Platform;
class QAction;
class QMenuBar;
class QPlainTextEdit;

// The help window: one of the five chapters of the help menu, editable and savable. Its
// caption is the path of the chapter chosen last.
//
//   MainMenu1    the menu bar with the two items below
//   ments1       "&Mentés" (Ctrl+M): writes Memo1 to the chapter's file; enabled by an edit
//   Noteszbe1    "&Noteszbe" (Ctrl+N): copies the selection; enabled by a mouse-up that
//                leaves text selected
//   Memo1        the chapter's text, navy, monospaced; Tab types a tab
class THelpAblak : public ToolWindow {
    Q_OBJECT
public:
    THelpAblak(const DataRoot& root, Platform& platform, QWidget* parent = nullptr);

    // Chapter 1..5 of the help menu: load it (or report it missing and keep the old text),
    // make it the save target and show the window.
    void showChapter(int chapter);
    // The chapter, scrolled so that the line starting with `heading` stands at the top.
    void showChapterAt(int chapter, const QString& heading);
    QString currentHelpFile() const { return m_currentHelpFile; }

    void FormActivate();
    void Memo1Change();
    void FormMouseUp();
    void Ment_gombClick();
    void Notesz_GombClick();

protected:
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DataRoot m_root;
    Platform& m_platform;
    QMenuBar* MainMenu1;
    QAction* ments1;
    QAction* Noteszbe1;
    QPlainTextEdit* Memo1;
    QString m_currentHelpFile;
};

#pragma once

#include <QDialog>

class AppState;
struct Forms;

// help texts: not yet filled in.
class THelpAblak : public QDialog {
    Q_OBJECT
public:
    THelpAblak(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void showChapter(int chapter);

private:
    AppState& m_state;
    Forms& m_forms;
};

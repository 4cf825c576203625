#pragma once

#include <QDialog>

class AppState;
struct Forms;

// a program névjegye: not yet filled in.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

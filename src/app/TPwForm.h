#pragma once

#include <QDialog>

class AppState;
struct Forms;

// program-jelszó változtatás: not yet filled in.
class TPwForm : public QDialog {
    Q_OBJECT
public:
    TPwForm(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

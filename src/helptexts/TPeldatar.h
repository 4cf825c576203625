#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Példa az aktuális képhez és jelhez: not yet filled in.
class TPeldatar : public QDialog {
    Q_OBJECT
public:
    TPeldatar(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

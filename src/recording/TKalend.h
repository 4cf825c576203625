#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Naptár: not yet filled in.
class TKalend : public QDialog {
    Q_OBJECT
public:
    TKalend(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

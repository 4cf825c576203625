#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Segítség a jelölések használatához: not yet filled in.
class TInfoKeret : public QDialog {
    Q_OBJECT
public:
    TInfoKeret(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

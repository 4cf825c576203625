#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Instrukció a vizsgált személynek: not yet filled in.
class Tvv_instr : public QDialog {
    Q_OBJECT
public:
    Tvv_instr(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

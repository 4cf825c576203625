#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Kevés a lejelölt válasz!!!: not yet filled in.
class TKevesValasz : public QDialog {
    Q_OBJECT
public:
    TKevesValasz(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

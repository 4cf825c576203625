#pragma once

#include <QDialog>

class AppState;
struct Forms;

// A VSZ. válasza az aktuális képre: not yet filled in.
class Tvalasz : public QDialog {
    Q_OBJECT
public:
    Tvalasz(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void savePendingAnswer();

private:
    AppState& m_state;
    Forms& m_forms;
};

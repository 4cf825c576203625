#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Törlés: not yet filled in.
class TJelCsere : public QDialog {
    Q_OBJECT
public:
    TJelCsere(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

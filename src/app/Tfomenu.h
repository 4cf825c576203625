#pragma once

#include <QMainWindow>

class AppState;
struct Forms;

// Tavrix gyermek VKT: not yet filled in.
class Tfomenu : public QMainWindow {
    Q_OBJECT
public:
    Tfomenu(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

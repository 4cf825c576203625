#pragma once

#include <QDialog>

class AppState;
struct Forms;

// A felvett vizsgálat jelölése: not yet filled in.
class TJeloles : public QDialog {
    Q_OBJECT
public:
    TJeloles(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void recomputePoints();

private:
    AppState& m_state;
    Forms& m_forms;
};

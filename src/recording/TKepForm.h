#pragma once

#include <QDialog>

class AppState;
struct Forms;

// A vizsgálat képei: not yet filled in.
class TKepForm : public QDialog {
    Q_OBJECT
public:
    TKepForm(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void selectPicture(int picture);

private:
    AppState& m_state;
    Forms& m_forms;
};

#pragma once

#include <QDialog>

class AppState;
struct Forms;

// Vizsgálatvezetők listájának módosítása: not yet filled in.
class TVV_lista : public QDialog {
    Q_OBJECT
public:
    TVV_lista(AppState& state, Forms& forms, QWidget* parent = nullptr);

private:
    AppState& m_state;
    Forms& m_forms;
};

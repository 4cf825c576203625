#include "marking/TJelCsere.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TJelCsere::TJelCsere(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TJelCsere"));
    setWindowTitle(QStringLiteral("Törlés"));
    resize(330, 200);
}

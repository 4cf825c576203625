#include "helptexts/TPeldatar.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TPeldatar::TPeldatar(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TPeldatar"));
    setWindowTitle(QStringLiteral("Példa az aktuális képhez és jelhez"));
    resize(411, 259);
}

#include "helptexts/TInfoKeret.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TInfoKeret::TInfoKeret(AppState& state, Forms& forms, QWidget* parent)
    : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TInfoKeret"));
    setWindowTitle(QStringLiteral("Segítség a jelölések használatához"));
    resize(388, 146);
}

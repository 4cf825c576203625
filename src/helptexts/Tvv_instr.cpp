#include "helptexts/Tvv_instr.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

Tvv_instr::Tvv_instr(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("Tvv_instr"));
    setWindowTitle(QStringLiteral("Instrukció a vizsgált személynek"));
    resize(290, 141);
}

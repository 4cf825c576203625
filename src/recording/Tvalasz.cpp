#include "recording/Tvalasz.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

Tvalasz::Tvalasz(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("Tvalasz"));
    setWindowTitle(QStringLiteral("A VSZ. válasza az aktuális képre"));
    resize(420, 160);
}

void Tvalasz::savePendingAnswer() {}

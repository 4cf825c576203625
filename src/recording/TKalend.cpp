#include "recording/TKalend.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TKalend::TKalend(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TKalend"));
    setWindowTitle(QStringLiteral("Naptár"));
    resize(300, 260);
}

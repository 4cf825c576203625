#include "app/TKevesValasz.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TKevesValasz::TKevesValasz(AppState& state, Forms& forms, QWidget* parent)
    : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TKevesValasz"));
    setWindowTitle(QStringLiteral("Kevés a lejelölt válasz!!!"));
    resize(360, 170);
}

#include "marking/TJeloles.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TJeloles::TJeloles(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TJeloles"));
    setWindowTitle(QStringLiteral("A felvett vizsgálat jelölése"));
    resize(420, 640);
}

void TJeloles::recomputePoints() {}

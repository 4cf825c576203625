#include "recording/TVV_lista.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TVV_lista::TVV_lista(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TVV_lista"));
    setWindowTitle(QStringLiteral("Vizsgálatvezetők listájának módosítása"));
    resize(300, 260);
}

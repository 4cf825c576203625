#include "app/Tfomenu.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

Tfomenu::Tfomenu(AppState& state, Forms& forms, QWidget* parent) : QMainWindow(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("Tfomenu"));
    setWindowTitle(QStringLiteral("Tavrix gyermek VKT"));
    resize(1024, 700);
}

#include "app/TPwForm.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TPwForm::TPwForm(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TPwForm"));
    setWindowTitle(QStringLiteral("program-jelszó változtatás"));
    resize(400, 162);
}

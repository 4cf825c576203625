#include "recording/TKepForm.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TKepForm::TKepForm(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TKepForm"));
    setWindowTitle(QStringLiteral("A vizsgálat képei"));
    resize(400, 420);
}

void TKepForm::selectPicture(int picture) {
    Q_UNUSED(picture);
}

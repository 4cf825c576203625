#include "app/TAboutForm.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TAboutForm::TAboutForm(AppState& state, Forms& forms, QWidget* parent)
    : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("a program névjegye"));
    resize(277, 177);
}

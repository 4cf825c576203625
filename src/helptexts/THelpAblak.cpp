#include "helptexts/THelpAblak.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

THelpAblak::THelpAblak(AppState& state, Forms& forms, QWidget* parent)
    : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("THelpAblak"));
    resize(475, 346);
}

void THelpAblak::showChapter(int chapter) {
    Q_UNUSED(chapter);
}

#include "recording/TSzemAd.h"

#include "app/AppState.h"
#include "app/GuiForms.h"

TSzemAd::TSzemAd(AppState& state, Forms& forms, QWidget* parent) : QDialog(parent), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TSzemAd"));
    setWindowTitle(QStringLiteral("Gyermek VKT személyi adatok"));
    resize(430, 300);
}

void TSzemAd::showPersonalData(const PersonalData& data) {
    Q_UNUSED(data);
}
void TSzemAd::resetForNewExamination() {}

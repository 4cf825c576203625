#include "gui/shell/Windows.h"

#include "gui/recording/TSzemAd.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/Tfomenu.h"
#include "render/ProfileChart.h"

Windows::~Windows() {
    delete fomenu;
}

bool Windows::personalDataShown() const {
    return szemAd->isVisible();
}

void Windows::showPersonalData() {
    szemAd->exec();
}

void Windows::showTooFewMarked(int marked) {
    kevesValasz->setCount(marked);
    kevesValasz->exec();
}

void Windows::writeProfileChart(const QString& path, const PersonalData& personal, const EvaluationResult& result,
                                QChar decimalSeparator) {
    ProfileChart(personal, result, decimalSeparator).writePng(path, 1100, 860);
}

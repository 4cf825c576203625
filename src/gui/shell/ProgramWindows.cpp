#include "gui/shell/ProgramWindows.h"

#include "gui/recording/TSzemAd.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/Tfomenu.h"
#include "render/ProfileChart.h"

ProgramWindows::~ProgramWindows() {
    delete fomenu;
}

bool ProgramWindows::personalDataShown() const {
    const TSzemAd* window = szemAd.made();
    return window && window->isVisible();
}

void ProgramWindows::showPersonalData() {
    szemAd()->exec();
}

void ProgramWindows::showTooFewMarked(int marked) {
    kevesValasz()->setCount(marked);
    kevesValasz()->exec();
}

void ProgramWindows::writeProfileChart(const QString& path, const PersonalData& personal,
                                       const EvaluationResult& result, QChar decimalSeparator) {
    ProfileChart(personal, result, decimalSeparator).writePng(path, 1100, 860);
}

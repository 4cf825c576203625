#include "gui/shell/Windows.h"

#include "gui/recording/TSzemAd.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/Tfomenu.h"

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

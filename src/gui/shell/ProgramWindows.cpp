#include "gui/shell/ProgramWindows.h"

#include "gui/paper/TJegyzokonyv.h"
#include "gui/recording/TSzemAd.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/Tfomenu.h"

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

void ProgramWindows::showProtocol(const ProtocolDocument& protocol) {
    jegyzokonyv()->showProtocol(protocol);
}

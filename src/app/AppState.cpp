#include "app/AppState.h"

AppState::AppState(DataRoot root_, Platform& platform_) : root(std::move(root_)), platform(platform_) {}

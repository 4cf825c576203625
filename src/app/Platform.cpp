#include "app/Platform.h"

Platform::~Platform() = default;

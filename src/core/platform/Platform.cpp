#include "core/platform/Platform.h"

Platform::~Platform() = default;

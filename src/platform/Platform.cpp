#include "platform/Platform.h"

Platform::~Platform() = default;

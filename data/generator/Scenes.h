#pragma once

#include "model/Pictures.h"
#include <QImage>

// The 24 test pictures: everyday scenes of two people, one of whom says something to the other
// in a speech bubble, while the other's bubble stays empty for the child's answer.
namespace Scenes {

constexpr int kCount = kPictureCount;
constexpr int kWidth = 320;
constexpr int kHeight = 403;

// Picture 1 to 24.
QImage draw(int picture);

} // namespace Scenes

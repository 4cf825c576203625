#pragma once

#include <QString>
#include <QStringList>

// The typical code combinations the marking window offers as hints for each picture, shown
// on the 17 combination labels.
namespace CombinationList {

constexpr int kLabelCount = 17;

// The hints of picture 1..24 in label order ("EV+NE", ...).
QStringList forPicture(int picture);

// What label k (1..17) shows for a picture: its entry, or "***" beyond the list.
QString labelCaption(int picture, int label);
// Labels beyond the list are disabled, except labels 6 and 7 of picture 2.
bool labelEnabled(int picture, int label);

} // namespace CombinationList

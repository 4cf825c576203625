#include "model/CombinationList.h"

#include "model/Pictures.h"

#include <array>

namespace {
const std::array<const char*, kPictureCount> kLists = {{
    "EV+NE EV+KE NE+KE NE+NM KE+KI KE+KM IV+MV",
    "NE+KE NE+KM KE+KM IV+NE NI+KM",
    "EV+NE EV+NI NE+EE NE+NI NE+NM NE+KE MV+NE MV+KE MV+KI KE+KM KI+KM",
    "EV+NE EV+KE NE+EE NE+KE NE+KI KE+KM KE+KI",
    "EV+KE NE+KE KE+KI KE+KM MV+NE",
    "NE+NI NE+KE NE+KE NE+KM KE+KI KE+KM IV+KE NI+KE MV+NE",
    "NE+EE NE+NI NE+II EE+II NE+KM IV+II IV+KE KI+KM",
    "NE+NI NE+II EE+NI EE+II NE+KM KE+KI KE+KM KI+KM",
    "EV+NI EV+KE EV+MV NE+EE NE+NI NE+II NE+KE NE+NM EE+NM NE+KM EE+KE KE+KM IV+EE NI+KE KI+KM MV+KE MV+KE",
    "EV+NE EV+KE NE+NI KE+KI KE+KM IV+KE NI+KE NI+KI NM+KE",
    "EV+KE EE+KE NE+KM IV+KE II+KE KE+KM",
    "NE+EE NE+NI EE+NI EE+II EE+KI IV+KE NI+II MV+NE MV+EE",
    "EV+NE NE+EE EE+KE EE+NI NE+NI NE+II KE+KI NI+KE NI+KI",
    "MV+NE MV+EE",
    "EV+KE EV+IV EV+KI NE+KE IV+KI MV+NI",
    "NE+EE NE+II NE+NM NE+KE KE+KM KI+KM MV+IV MV+II NM+II",
    "EV+KE NE+KE NE+NM KE+KM KI+KM",
    "EV+KE EV+NI EV+MV NE+EE EE+KE NE+NM KE+KI IV+NI IV+KE NI+KE MV+NE",
    "NE+EE NE+NI NE+II NE+KI NE+KM IV+EE KI+KM",
    "EV+NE EV+NM NE+NM IV+NE KI+KM NM+KE NM+KI",
    "NE+KE NE+NM NE+KM KE+KM IV+KE",
    "NE+KE NE+NI EE+NI EE+II",
    "EV+KE NE+KE NE+II IV+NE NI+II NI+KE MV+NE MV+KE",
    "EV+KM NE+NI KE+KI NI+II KE+KM NI+KE MV+NE",
}};
} // namespace

QStringList CombinationList::forPicture(int picture) {
    if (!isPicture(picture))
        return {};
    return QString::fromLatin1(kLists[static_cast<size_t>(picture - 1)]).split(QLatin1Char(' '));
}

QString CombinationList::labelCaption(int picture, int label) {
    const QStringList list = forPicture(picture);
    if (label >= 1 && label <= list.size())
        return list.at(label - 1);
    return QStringLiteral("***");
}

bool CombinationList::labelEnabled(int picture, int label) {
    if (label >= 1 && label <= forPicture(picture).size())
        return true;
    return picture == 2 && (label == 6 || label == 7);
}

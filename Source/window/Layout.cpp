#include "window/Layout.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace kestrane {

const ControlPlace &placeOf(std::string_view name)
{
    for (const auto &place : ControlPlaces) {
        if (place.name == name)
            return place;
    }
    throw std::out_of_range("no place for control " + std::string(name));
}

int twipsToPixels(double twips)
{
    return static_cast<int>(std::nearbyint(twips / TwipsPerPixel));
}

double pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

QRect toPixels(const TwipsRect &twips)
{
    const int left = twipsToPixels(twips.left);
    const int top = twipsToPixels(twips.top);
    const int right = twipsToPixels(twips.left + twips.width);
    const int bottom = twipsToPixels(twips.top + twips.height);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace kestrane

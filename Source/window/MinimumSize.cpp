#include "window/MinimumSize.h"

#include "window/Layout.h"
#include "window/WindowPlacement.h"

namespace kestrane {

void keepMinimumSize(WindowPlacement &window)
{
    if (!window.isNormalState())
        return;
    if (window.outerWidth() < MinimumOuterWidthTwips)
        window.setOuterWidth(MinimumOuterWidthTwips);
    if (window.outerHeight() < MinimumOuterHeightTwips)
        window.setOuterHeight(MinimumOuterHeightTwips);
}

} // namespace kestrane

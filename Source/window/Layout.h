#pragma once

#include <QRect>

#include <array>
#include <string_view>

namespace kestrane {

// Geometry of the window in twips (1/1440 inch), the unit the window was
// designed in. At 96 dots per inch there are 15 twips to the pixel; Qt's
// logical pixels are 96-dpi pixels, so the conversion is a fixed division.
inline constexpr double TwipsPerPixel = 15.0;

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// One control's place inside its container (the client area or a frame) and
// its tab index. The table below is the only place where sizes are written.
struct ControlPlace {
    std::string_view name; // the control's objectName
    TwipsRect twips;
    int tabIndex;
};

// The client area below the menu bar.
inline constexpr int ClientWidthTwips = 6495;
inline constexpr int ClientHeightTwips = 3600;

// The smallest outer size (frame, title bar and menu bar included) the window
// keeps; the size of the opened window with a classic frame.
inline constexpr float MinimumOuterWidthTwips = 6615.0f;
inline constexpr float MinimumOuterHeightTwips = 4290.0f;

// The channel-name boxes form the array Label8; element i is named Label8_i.
inline constexpr int ChannelNameBoxCount = 7;

// clang-format off
inline constexpr std::array<ControlPlace, 23> ControlPlaces{{
    // name              left   top   width height  tab
    {"ProgressBar1",   {2235, 2760, 4020,  240}, 21},
    {"StatusBar1",     {   0, 3165, 6495,  435}, 19},
    {"frameTestProbe", {2205,   60, 4050, 2505},  3},
    {"Label8_6",       {1000, 2025, 2910,  240}, 17},
    {"Label8_5",       {1000, 1740, 2910,  240}, 16},
    {"Label8_4",       {1000, 1455, 2910,  240}, 15},
    {"Label8_3",       {1000, 1185, 2910,  240}, 14},
    {"Label8_2",       {1000,  900, 2910,  240}, 13},
    {"Label8_1",       {1000,  615, 2910,  240}, 12},
    {"Label8_0",       {1000,  330, 2910,  240}, 11},
    {"Label7",         { 120, 2025,  825,  270}, 10},
    {"Label6",         { 120, 1740,  825,  270},  9},
    {"Label5",         { 120, 1470,  825,  270},  8},
    {"Label4",         { 120, 1200,  825,  270},  7},
    {"Label3",         { 120,  915,  825,  270},  6},
    {"Label2",         { 120,  630,  825,  270},  5},
    {"Label1",         { 120,  330,  825,  270},  4},
    {"Frame1",         { 240,   60, 1755, 2490},  0},
    {"cmdUnload",      {  75, 1290, 1600,  550}, 20},
    {"cmdSaveFile",    {  75,  735, 1600,  550}, 18},
    {"cmdExit",        {  75, 1845, 1600,  550},  2},
    {"cmdConvirt",     {  75,  180, 1600,  550},  1},
    {"Label9",         { 345, 2760, 1680,  330}, 22},
}};
// clang-format on

// The place of the named control; a name missing from the table is a
// programming error and fails loudly (std::out_of_range).
const ControlPlace &placeOf(std::string_view name);

// Twips to the nearest pixel (ties to even).
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// A rectangle in pixels. Each edge is rounded by itself, so controls that
// touch in twips touch in pixels and never overlap by a rounding pixel.
QRect toPixels(const TwipsRect &twips);

} // namespace kestrane

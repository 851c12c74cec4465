#pragma once

#include <QString>

namespace kestrane {

// Started from a console or over ssh, with no desktop to show the window on,
// the toolkit would abort with talk of platform plugins and advice to
// reinstall, which does not help. This is the one line to say instead, or
// an empty string where a desktop may be reached. Windows always has one.
QString noDesktopMessage(int argc, const char *program);

} // namespace kestrane

#include "window/FilePath.h"

namespace kestrane {

// From UTF-16 on both platforms: Windows keeps it as it is, and the
// conversion to UTF-8 on Linux is the one Qt makes for file names.
std::filesystem::path filePath(const QString &name)
{
    return std::filesystem::path(name.toStdU16String());
}

} // namespace kestrane

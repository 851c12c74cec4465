#include "common/NameLength.h"

#include <algorithm>

namespace kestrane {

bool holdsANameTooLong(const std::filesystem::path &path)
{
    return std::any_of(path.begin(), path.end(), [](const std::filesystem::path &name) { return name.native().size() > LongestName; });
}

} // namespace kestrane

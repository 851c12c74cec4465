#include "common/FolderOf.h"

namespace kestrane {

std::filesystem::path folderOf(const std::filesystem::path &path)
{
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

} // namespace kestrane

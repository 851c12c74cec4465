#pragma once

#include <QString>

#include <filesystem>

namespace kestrane {

// A path the dialogs gave, as the file code takes it: UTF-16 on Windows, so
// that a folder "Тест" or "測定" opens there as on Linux (the ANSI code
// page would lose such names); on Linux the bytes the file system holds.
std::filesystem::path filePath(const QString &name);

} // namespace kestrane

#include "window/FilePath.h"

#include <QFile>

namespace kestrane {

std::filesystem::path filePath(const QString &name)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

} // namespace kestrane

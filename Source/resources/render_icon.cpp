// Writes the program's icon as a PNG file of the given size, for the
// desktop's icon theme: the very artwork of the window's icon.
//   kestrane_render_icon 48 icons/hicolor/48x48/apps/kestrane.png
// It draws into images only: its build step runs it on the offscreen platform.
// A file that cannot be written is reported and left as it was.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

#include "window/InstrumentIcon.h"

namespace {

constexpr int SmallestSize = 16;  // the smallest size icon themes know
constexpr int LargestSize = 1024; // the largest size icon themes know

int fail(const QString &message)
{
    std::fprintf(stderr, "kestrane_render_icon: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);

    if (argc != 3)
        return fail(QStringLiteral("usage: kestrane_render_icon SIZE FILE.png"));
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[1]).toInt(&isNumber);
    if (!isNumber || size < SmallestSize || size > LargestSize)
        return fail(QStringLiteral("the size must be a whole number of pixels from %1 to %2, not \"%3\"")
                        .arg(SmallestSize)
                        .arg(LargestSize)
                        .arg(QString::fromLocal8Bit(argv[1])));

    const QString path = QString::fromLocal8Bit(argv[2]);
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot make the folder %1").arg(folder));
    // Written whole or not at all: a half-written icon never stays behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (!kestrane::drawInstrumentIcon(size).save(&file, "PNG"))
        return fail(QStringLiteral("cannot encode the icon as PNG"));
    if (!file.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return 0;
}

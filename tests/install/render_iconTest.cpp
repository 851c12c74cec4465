// The icon theme's PNG files: rendered from the window's own artwork, pixel
// for pixel, and a renderer that refuses what it cannot do and leaves no
// file behind when it fails.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "window/InstrumentIcon.h"

namespace {

const QString Renderer = QStringLiteral(KESTRANE_RENDER_ICON);
const QString ThemeFolder = QStringLiteral(KESTRANE_ICON_DIR);

// The renderer's exit code (-1 when it crashed or did not start).
int render(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(Renderer, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

QImage comparable(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(render_icon, BuiltThemeHoldsTheWindowArtworkAtEachSize)
{
    for (const int size : {32, 48, 256}) {
        SCOPED_TRACE(size);
        const QString path = ThemeFolder + QStringLiteral("/%1x%1/apps/kestrane.png").arg(size);
        const QImage png(path, "PNG");
        ASSERT_FALSE(png.isNull()) << path.toStdString();
        EXPECT_EQ(png.size(), QSize(size, size));
        EXPECT_TRUE(png.hasAlphaChannel());
        EXPECT_EQ(comparable(png), comparable(kestrane::drawInstrumentIcon(size)));
    }
    // the window's 32-pixel icon is that same picture
    EXPECT_EQ(comparable(kestrane::instrumentIcon().pixmap(QSize(32, 32), 1.0).toImage()),
              comparable(QImage(ThemeFolder + QStringLiteral("/32x32/apps/kestrane.png"))));
}

TEST(render_icon, MakesMissingFoldersAndReplacesAnOldFile)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString path = scratch.filePath(QStringLiteral("a/b/64x64/kestrane.png"));
    ASSERT_EQ(render({QStringLiteral("64"), path}), 0);
    EXPECT_EQ(comparable(QImage(path)), comparable(kestrane::drawInstrumentIcon(64)));
    ASSERT_EQ(render({QStringLiteral("16"), path}), 0);
    EXPECT_EQ(QImage(path).size(), QSize(16, 16));
}

TEST(render_icon, RefusesSizesItCannotDrawAndWritesNothing)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString path = scratch.filePath(QStringLiteral("kestrane.png"));
    // 16 to 1024 pixels, the smallest and largest sizes of icon themes
    for (const char *size : {"0", "15", "1025", "-32", "32px", "", "4294967328"}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(render({QString::fromLatin1(size), path}), 1);
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(render({QStringLiteral("32")}), 1);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(render_icon, FailsWhereTheFileCannotBeMadeAndLeavesAnOldOneAlone)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    // A regular file where a folder of the path should be: refused for
    // root too, unlike a folder without write permission.
    const QString blocker = scratch.filePath(QStringLiteral("icons"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a folder");
    file.close();
    EXPECT_EQ(render({QStringLiteral("32"), blocker + QStringLiteral("/32x32/kestrane.png")}), 1);
    // A folder where the file should be: it stays a folder, nothing beside it.
    const QString folder = scratch.filePath(QStringLiteral("kestrane.png"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(render({QStringLiteral("32"), folder}), 1);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
    QFile kept(blocker);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("not a folder"));
}

} // namespace

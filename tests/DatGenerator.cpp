#include "DatGenerator.h"

#include <bit>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace kestrane::testdata {

std::string datBytes(const DatSpec &spec)
{
    std::string bytes;
    const auto number = [&](float value) {
        for (int i = 0; i < 20; ++i)
            bytes += char(i < 4 ? std::bit_cast<std::uint32_t>(value) >> (8 * i) : 0);
    };
    for (int point = 0; point < spec.points; ++point)
        for (int channel = 1; channel <= 7; ++channel)
            number(spec.value(channel, point));
    number(spec.timing[0]), number(spec.timing[1]);
    for (const auto &name : spec.names)
        bytes += (name.substr(0, 20) + std::string(20, ' ')).substr(0, 20);
    return bytes;
}

void writeFile(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), std::streamsize(bytes.size())))
        throw std::runtime_error("cannot write " + path.generic_string());
}

std::filesystem::path writeDat(const std::filesystem::path &path, const DatSpec &spec)
{
    writeFile(path, datBytes(spec));
    return path;
}

// Below this process's own folder in the temp folder, removed at exit. The
// path is never destroyed, so the removal can run after every static.
std::string freshFolder(const std::string &name)
{
    namespace fs = std::filesystem;
    static const auto *root = new fs::path(fs::temp_directory_path() / ("kestrane-test-" + std::to_string(::getpid())));
    [[maybe_unused]] static const int removedAtExit = std::atexit([] {
        std::error_code ignored;
        // Windows removes no read-only file, and a test may leave one.
        for (auto e = fs::recursive_directory_iterator(*root, ignored); e != fs::end(e); e.increment(ignored))
            fs::permissions(e->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        fs::remove_all(*root, ignored);
    });
    const fs::path folder = *root / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

} // namespace kestrane::testdata

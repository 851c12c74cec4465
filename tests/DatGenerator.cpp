#include "DatGenerator.h"

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace kestrane::testdata {

std::string numericRecord(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    std::string record(20, '\0');
    for (int i = 0; i < 4; ++i)
        record[std::size_t(i)] = char((bits >> (8 * i)) & 0xFF);
    return record;
}

std::string nameRecord(const std::string &bytes)
{
    std::string record = bytes.substr(0, 20);
    record.resize(20, ' ');
    return record;
}

std::string datBytes(const DatSpec &spec)
{
    std::string bytes;
    bytes.reserve(std::size_t(20 * (7 * spec.points + 9)));
    for (int point = 0; point < spec.points; ++point)
        for (int channel = 1; channel <= 7; ++channel)
            bytes += numericRecord(spec.value(channel, point));
    bytes += numericRecord(spec.timing[0]);
    bytes += numericRecord(spec.timing[1]);
    for (const auto &name : spec.names)
        bytes += nameRecord(name);
    return bytes;
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string writeDat(const std::string &path, const DatSpec &spec)
{
    writeFile(path, datBytes(spec));
    return path;
}

namespace {

// This process's own folder below the temp folder, removed when the process
// ends. Held on the heap so it outlives every static destructor.
const std::filesystem::path &processFolder()
{
    static const auto *folder = [] {
        auto *path = new std::filesystem::path(std::filesystem::temp_directory_path()
                                               / ("kestrane-test-" + std::to_string(::getpid())));
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(processFolder(), ignored);
        });
        return path;
    }();
    return *folder;
}

} // namespace

std::string freshFolder(const std::string &name)
{
    namespace fs = std::filesystem;
    const fs::path folder = processFolder() / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

} // namespace kestrane::testdata

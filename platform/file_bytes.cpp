#include "platform/file_bytes.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

int ReadFileBytes(const std::string& name, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    std::ifstream in(std::filesystem::u8path(name), std::ios::binary);
    if (!in) return 0;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return 0;
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        bytes.clear();
        return 0;
    }
    return 1;
}

int ReplaceFileBytes(const std::string& name, const std::vector<unsigned char>& bytes)
{
    namespace fs = std::filesystem;
    const fs::path target = fs::u8path(name);
    // A name of our own beside the target, so the final rename stays on one volume.
    fs::path temporary;
    std::ofstream out;
    for (int attempt = 0; attempt < 100 && !out.is_open(); ++attempt) {
        temporary = target;
        temporary += ".vesk-tmp" + std::to_string(attempt);
        std::error_code error;
        if (fs::exists(temporary, error)) continue;
        out.open(temporary, std::ios::binary | std::ios::trunc);
    }
    if (!out.is_open()) return 0;
    if (!bytes.empty()) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    bool written = static_cast<bool>(out);
    out.close();
    written = written && !out.fail();
    std::error_code error;
    if (written) fs::rename(temporary, target, error);
    if (!written || error) {
        fs::remove(temporary, error);
        return -1;
    }
    return 1;
}

bool FileExists(const std::string& name)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::u8path(name), error);
}

void AppendInt32(std::vector<unsigned char>& bytes, int32_t value)
{
    const uint32_t u = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) bytes.push_back(static_cast<unsigned char>(u >> (8 * k)));
}

void AppendDouble(std::vector<unsigned char>& bytes, double value)
{
    uint64_t u = 0;
    std::memcpy(&u, &value, sizeof u);
    for (int k = 0; k < 8; ++k) bytes.push_back(static_cast<unsigned char>(u >> (8 * k)));
}

bool ByteReader::ReadInt32(int32_t& value)
{
    if (remaining() < 4) return false;
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(bytes[position + k]) << (8 * k);
    value = static_cast<int32_t>(u);
    position += 4;
    return true;
}

bool ByteReader::ReadDouble(double& value)
{
    if (remaining() < 8) return false;
    uint64_t u = 0;
    for (int k = 0; k < 8; ++k) u |= static_cast<uint64_t>(bytes[position + k]) << (8 * k);
    std::memcpy(&value, &u, sizeof value);
    position += 8;
    return true;
}

bool ByteReader::ReadDoubles(int64_t count, std::vector<double>& values)
{
    if (count < 0 || static_cast<uint64_t>(count) > remaining() / 8) return false;
    values.assign(static_cast<size_t>(count), 0.0);
    for (double& v : values) (void)ReadDouble(v);
    return true;
}

bool ByteReader::Skip(int64_t count)
{
    if (count < 0 || static_cast<uint64_t>(count) > remaining()) return false;
    position += static_cast<size_t>(count);
    return true;
}

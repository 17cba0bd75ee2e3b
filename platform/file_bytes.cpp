#include "platform/file_bytes.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <stdexcept>
#include <system_error>

#include "platform/durable_file.h"

namespace {

namespace fs = std::filesystem;

// Longer chains than this are taken for a loop of links.
constexpr int kMaxLinkHops = 32;
constexpr const char* kTemporarySuffix = ".vesk-tmp";
constexpr size_t kTemporaryTagLength = 16;
// A temporary file of ours this old belongs to a save that will not finish.
constexpr auto kStaleAge = std::chrono::minutes(10);
constexpr int kCreateAttempts = 16;

// The file a name stands for, with every symbolic link on its end followed; false for a loop.
bool FollowLinks(fs::path& path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) return true;
        const fs::path target = fs::read_symlink(path, error);
        if (error) return false;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return false;
}

std::string RandomTag()
{
    static thread_local std::mt19937_64 generator(
        std::random_device{}() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const uint64_t value = generator();
    std::string tag(kTemporaryTagLength, '0');
    for (size_t k = 0; k < kTemporaryTagLength; ++k) tag[k] = "0123456789abcdef"[(value >> (4 * k)) & 15];
    return tag;
}

// Whether `name` is a temporary name of ours for the target file name `target`: the target's
// name, a dot, 16 hex digits and ".vesk-tmp"; or, from earlier versions, the target's name,
// ".vesk-tmp" and a number below 100.
bool IsTemporaryOf(const std::string& name, const std::string& target)
{
    const std::string suffix = kTemporarySuffix;
    if (name.size() > target.size() + suffix.size() && name.size() <= target.size() + suffix.size() + 2 &&
        name.compare(0, target.size() + suffix.size(), target + suffix) == 0)
        return name.find_first_not_of("0123456789", target.size() + suffix.size()) == std::string::npos;
    if (name.size() != target.size() + 1 + kTemporaryTagLength + suffix.size()) return false;
    if (name.compare(0, target.size(), target) != 0 || name[target.size()] != '.') return false;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    for (size_t k = 0; k < kTemporaryTagLength; ++k) {
        const char c = name[target.size() + 1 + k];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// Removes temporary files that earlier saves of `target` left behind and that are old enough
// to be given up; anything else in the folder is left alone.
void RemoveStaleTemporaries(const fs::path& target)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().u8string();
    const auto now = fs::file_time_type::clock::now();
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (!IsTemporaryOf(entry->path().filename().u8string(), name)) continue;
        std::error_code inner;
        if (!entry->is_regular_file(inner) || inner) continue;
        const auto written = fs::last_write_time(entry->path(), inner);
        if (!inner && now - written > kStaleAge) fs::remove(entry->path(), inner);
    }
}

}  // namespace

int ReadFileBytes(const std::string& name, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    try {
        const fs::path path = fs::u8path(name);
        std::error_code error;
        // A folder opens as a stream on some systems and reports a huge length; a device may
        // never end.
        if (!fs::is_regular_file(path, error)) return 0;
        std::ifstream in(path, std::ios::binary);
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
    } catch (const std::bad_alloc&) {
        bytes = std::vector<unsigned char>();
        return 0;
    } catch (const std::length_error&) {
        bytes = std::vector<unsigned char>();
        return 0;
    }
    return 1;
}

int ReplaceFileBytes(const std::string& name, const std::vector<unsigned char>& bytes)
{
    fs::path target = fs::u8path(name);
    if (!FollowLinks(target)) return kReplaceWriteFailed;
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    const bool exists = fs::exists(status);
    // A folder, a pipe or a device would be replaced by a plain file: only files are saved over.
    if (exists && !fs::is_regular_file(status)) return kReplaceWriteFailed;
    if (exists && FileIsReadOnly(target)) return kReplaceReadOnly;

    RemoveStaleTemporaries(target);
    // The temporary file lies beside the target, so the final rename stays on one volume.
    fs::path temporary;
    int written = 0;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temporary = target;
        temporary += "." + RandomTag() + kTemporarySuffix;
        bool inTheWay = false;
        written = WriteNewFileDurably(temporary, bytes, target, inTheWay);
        if (written != 0 || !inTheWay) break;
    }
    if (written == 0) return kReplaceCannotCreate;
    if (written == 1 && RenameDurably(temporary, target)) return kReplaceDone;
    fs::remove(temporary, error);
    return kReplaceWriteFailed;
}

const char* ReplaceFailureText(int status)
{
    switch (status) {
    case kReplaceCannotCreate:
        return "Cannot open file";
    case kReplaceReadOnly:
        return "Cannot write to a read-only file";
    default:
        return "Cannot write to file";
    }
}

bool FileExists(const std::string& name)
{
    std::error_code error;
    return fs::exists(fs::u8path(name), error);
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

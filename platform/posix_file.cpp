// POSIX half of platform/durable_file.h; the Windows build uses platform/win32/durable_file.cpp.
#ifndef _WIN32

#include "platform/durable_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

}  // namespace

int WriteNewFileDurably(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                        const std::filesystem::path& like, bool& exists)
{
    exists = false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        exists = errno == EEXIST;
        return 0;
    }
    bool done = true;
    struct stat old {};
    if (::stat(like.c_str(), &old) == 0) done = ::fchmod(fd, old.st_mode & 07777) == 0;
    done = done && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    done = ::close(fd) == 0 && done;
    return done ? 1 : -1;
}

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // The rename lives in the folder's entries: flush those too. Some file systems cannot sync a
    // folder; the rename itself has been done then.
    const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : std::filesystem::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool FileIsReadOnly(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    // The mode bits catch a file marked read-only even for a user whom access() lets write.
    return (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

#endif

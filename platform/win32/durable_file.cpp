// Windows half of platform/durable_file.h, built into the portable platform library of the
// Windows tree.
#include "platform/durable_file.h"

#include <windows.h>

namespace {

// WriteFile takes at most 4 GB at a time; smaller pieces keep every call well inside that.
constexpr size_t kWriteChunk = size_t{1} << 30;

}  // namespace

int WriteNewFileDurably(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                        const std::filesystem::path& like, bool& exists)
{
    exists = false;
    HANDLE file = CreateFileW(path.wstring().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return 0;
    }
    (void)like;  // a new Windows file already inherits the folder's security
    bool done = true;
    for (size_t offset = 0; done && offset < bytes.size();) {
        const DWORD piece = static_cast<DWORD>(bytes.size() - offset < kWriteChunk ? bytes.size() - offset : kWriteChunk);
        DWORD written = 0;
        done = WriteFile(file, bytes.data() + offset, piece, &written, nullptr) && written == piece;
        offset += written;
    }
    done = done && FlushFileBuffers(file);
    done = CloseHandle(file) && done;
    return done ? 1 : -1;
}

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return MoveFileExW(from.wstring().c_str(), to.wstring().c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FileIsReadOnly(const std::filesystem::path& path)
{
    const DWORD attributes = GetFileAttributesW(path.wstring().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

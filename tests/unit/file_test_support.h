#pragma once
// Helpers of the file-format tests: a scratch folder and a bounded stream of random mutations.
#include "temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

// A fresh folder of its own under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) : path_(NewTempFolder(name)) {}
    ~ScratchFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).u8string(); }
    size_t EntryCount() const
    {
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
        return count;
    }

private:
    std::filesystem::path path_;
};

// Mutants of a valid image: cut at a random point, random bytes overwritten (counts made huge,
// negative or small), or random bytes appended. Deterministic for a given seed.
inline std::vector<unsigned char> Mutate(const std::vector<unsigned char>& valid, std::mt19937& random)
{
    std::vector<unsigned char> bytes = valid;
    switch (random() % 3) {
    case 0:
        bytes.resize(bytes.empty() ? 0 : random() % bytes.size());
        break;
    case 1: {
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            const size_t at = random() % bytes.size();
            const unsigned char choices[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, static_cast<unsigned char>(random())};
            bytes[at] = choices[random() % 6];
        }
        break;
    }
    default:
        for (int e = static_cast<int>(random() % 16); e > 0; --e) bytes.push_back(static_cast<unsigned char>(random()));
        break;
    }
    return bytes;
}

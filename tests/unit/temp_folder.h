#pragma once
// A folder of its own for one test under the system's temporary folder. Test runs of several
// checkouts and build trees share that folder at the same time, so no name is fixed: each folder
// is named with a random number, and a name another run holds already is passed over.
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

// Creates an empty folder "vesk-NAME-NUMBER" under the temporary folder and returns its path.
inline std::filesystem::path NewTempFolder(const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    std::random_device random;
    fs::path path;
    // create_directory claims a name only when nothing holds it; a folder that cannot be made at
    // all fails the test where it is first used.
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = temp / ("vesk-" + name + "-" + std::to_string(random()));
        if (fs::create_directory(path, error)) break;
    }
    return path;
}

#pragma once
// What the tests of molda and drav share: R's reference values (tests/data/molda_drav_reference.csv,
// made by scripts/reference/molda_drav.R), the data file of mdeaths and fdeaths, and a fresh
// current folder for a program's file selection.
#include "platform/file_bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

inline std::string TestDataText(const std::string& name)
{
    std::vector<unsigned char> bytes;
    EXPECT_EQ(ReadFileBytes(std::string(VESK_TEST_DATA) + "/" + name, bytes), 1) << name;
    return std::string(bytes.begin(), bytes.end());
}

// Reference values by run, item and up to three indices (0 where the item has none).
class VarReference {
public:
    VarReference()
    {
        std::istringstream lines(TestDataText("molda_drav_reference.csv"));
        std::string line;
        std::getline(lines, line);  // the header
        while (std::getline(lines, line)) {
            std::vector<std::string> fields;
            std::stringstream row(line);
            std::string field;
            while (std::getline(row, field, ','))
                fields.push_back(field);
            if (fields.size() != 6)
                continue;
            values_[Key(fields[0], fields[1], Index(fields[2]), Index(fields[3]), Index(fields[4]))] =
                std::stod(fields[5]);
        }
    }

    double Get(const std::string& run, const std::string& item, int a = 0, int b = 0, int c = 0) const
    {
        const auto found = values_.find(Key(run, item, a, b, c));
        if (found == values_.end()) {
            ADD_FAILURE() << "no reference " << Key(run, item, a, b, c);
            return 0.0;
        }
        return found->second;
    }

private:
    static int Index(const std::string& text) { return text.empty() ? 0 : std::stoi(text); }
    static std::string Key(const std::string& run, const std::string& item, int a, int b, int c)
    {
        return run + "|" + item + "|" + std::to_string(a) + "|" + std::to_string(b) + "|" + std::to_string(c);
    }
    std::map<std::string, double> values_;
};

// The 72 months of mdeaths and fdeaths, the values of one month together.
inline std::vector<float> DeathsData(int m)
{
    std::istringstream lines(TestDataText("mdeaths_fdeaths.txt"));
    std::vector<float> values;
    float male = 0.0f, female = 0.0f;
    while (lines >> male >> female) {
        values.push_back(male);
        if (m == 2)
            values.push_back(female);
    }
    return values;
}

// Makes a fresh folder current for the life of the object and restores the old one after.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        old_ = fs::current_path(ignored);
        // Checkouts run these tests at the same time on one machine: each folder gets its own name.
        path_ = fs::temp_directory_path(ignored) /
                ("vesk-console-" + name + "-" + std::to_string(std::random_device{}()));
        fs::remove_all(path_, ignored);
        fs::create_directories(path_, ignored);
        fs::current_path(path_, ignored);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(old_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    void Write(const std::string& name, const std::string& text) const
    {
        ASSERT_EQ(ReplaceFileBytes(name, std::vector<unsigned char>(text.begin(), text.end())), 1) << name;
    }
    std::string Read(const std::string& name) const
    {
        std::vector<unsigned char> bytes;
        if (ReadFileBytes(name, bytes) != 1)
            return {};
        return std::string(bytes.begin(), bytes.end());
    }

private:
    std::filesystem::path old_;
    std::filesystem::path path_;
};

#pragma once
// What the tests of molda and drav share: R's reference values (tests/data/molda_drav_reference.csv,
// made by scripts/reference/molda_drav.R), the data file of mdeaths and fdeaths, and a fresh
// current folder for a program's file selection.
#include "platform/file_bytes.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
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


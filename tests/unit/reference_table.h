#pragma once
// Reader for the CSV reference tables under tests/data (made by scripts/reference/): a header
// line of column names, then rows of plain comma-separated fields without quoting. A field may
// hold a space-separated list of numbers (model coefficients), or be empty.
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct ReferenceTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;

    int Column(const std::string& name) const
    {
        for (size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return static_cast<int>(i);
        return -1;
    }
    const std::string& Text(size_t row, const std::string& name) const
    {
        return rows.at(row).at(static_cast<size_t>(Column(name)));
    }
    double Number(size_t row, const std::string& name) const
    {
        return std::strtod(Text(row, name).c_str(), nullptr);
    }
    int Integer(size_t row, const std::string& name) const
    {
        return static_cast<int>(std::strtol(Text(row, name).c_str(), nullptr, 10));
    }
    std::vector<double> List(size_t row, const std::string& name) const
    {
        std::istringstream in(Text(row, name));
        std::vector<double> values;
        for (double v; in >> v;) values.push_back(v);
        return values;
    }
};

inline std::vector<std::string> SplitCsvLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (char ch : line) {
        if (ch == ',') fields.emplace_back();
        else if (ch != '\r') fields.back() += ch;
    }
    return fields;
}

// Reads VESK_TEST_DATA/fileName; an unreadable file gives an empty table (tests assert on size).
inline ReferenceTable ReadReferenceTable(const std::string& fileName)
{
    ReferenceTable table;
    std::ifstream in(std::string(VESK_TEST_DATA) + "/" + fileName);
    std::string line;
    if (!std::getline(in, line)) return table;
    table.header = SplitCsvLine(line);
    while (std::getline(in, line))
        if (!line.empty()) table.rows.push_back(SplitCsvLine(line));
    return table;
}

// The values of one series of a table of series (columns "series" and "value"), in time order.
inline std::vector<double> ReferenceSeries(const std::string& name,
                                           const std::string& fileName = "reference_series.csv")
{
    const ReferenceTable t = ReadReferenceTable(fileName);
    std::vector<double> x;
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.Text(r, "series") == name) x.push_back(t.Number(r, "value"));
    return x;
}

// Every series of a table of series (columns "series" and `valueColumn`), by name, in time order.
inline std::map<std::string, std::vector<double>> ReferenceSeriesByName(const std::string& fileName,
                                                                       const std::string& valueColumn)
{
    const ReferenceTable t = ReadReferenceTable(fileName);
    std::map<std::string, std::vector<double>> data;
    for (size_t r = 0; r < t.rows.size(); ++r) data[t.Text(r, "series")].push_back(t.Number(r, valueColumn));
    return data;
}

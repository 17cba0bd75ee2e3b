// Starts the real ospe.exe in a folder with USAccDeaths and types a whole session into its window:
// the data, the memory-shortening polynomial, the first subset fit, twelve forecasts, their plot
// and the output file; then Exit.
#include "console_keys.h"

#include "../unit/file_test_support.h"
#include "../unit/reference_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring ProgramBesideThisOne(const wchar_t* name)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path);
    return text.substr(0, text.find_last_of(L"\\/") + 1) + name;
}

std::vector<double> ReferenceValues(const ReferenceTable& table, const std::string& quantity)
{
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (table.Text(r, "quantity") == quantity)
            return table.List(r, "values");
    return {};
}

std::vector<std::string> Lines(const std::filesystem::path& name)
{
    std::ifstream in(name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST(OspeBlackBox, ASessionFromTheDataToTheOutputFile)
{
    const ReferenceTable reference = ReadReferenceTable("arar_usaccdeaths_reference.csv");
    const std::vector<double> x = ReferenceValues(reference, "series");
    const std::vector<double> forecasts = ReferenceValues(reference, "shortened_1_forecasts");
    ASSERT_EQ(x.size(), 72u);
    ASSERT_EQ(forecasts.size(), 12u);

    const ScratchFolder scratch("ospe-blackbox");
    const std::wstring folder = scratch.Path().wstring();
    {
        std::ofstream data(std::filesystem::path(folder) / "deaths.dat");
        for (double v : x)
            data << v << "\n";
    }

    const std::wstring program = ProgramBesideThisOne(L"ospe.exe");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process))
        << "cannot start ospe.exe";
    HWND window = WaitForConsoleWindow(L"OSPE", 30000);
    if (!window)
        TerminateProcess(process.hProcess, 1);
    ASSERT_NE(window, nullptr) << "no window \"OSPE\"";

    // Start screen, introduction, the file (third in the listing after "." and ".."), the
    // polynomial, fit 1, twelve forecasts, the plot, the file, back to the main menu and Exit.
    const char* const session[] = {"x", "enter", "enter", "down", "down", "enter", "x", "d", "x", "f", "x",
                                   "line:12", "x", "x", "x", "enter", "y", "line:deaths.out", "x", "r", "x"};
    for (const char* token : session)
        ASSERT_TRUE(PostConsoleKeys(window, token)) << token;

    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "ospe.exe did not end after its session";
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const std::vector<std::string> lines = Lines(std::filesystem::path(folder) / "deaths.out");
    ASSERT_EQ(lines.size(), 84u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double want = i < 72 ? x[i] : forecasts[i - 72];
        EXPECT_NEAR(std::stod(lines[i]), want, 1e-6 * want) << "record " << i + 1;
    }
}

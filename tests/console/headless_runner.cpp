#ifndef _WIN32
#include "headless_runner.h"

#include "platform/file_bytes.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"
#include "tests/unit/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

std::string FileText(const std::string& name)
{
    std::vector<unsigned char> bytes;
    if (ReadFileBytes(name, bytes) != 1)
        return {};
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

struct HeadlessRunFolder {
    std::filesystem::path path;
    ~HeadlessRunFolder()
    {
        if (::testing::Test::HasFailure())
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

unsigned char HeadlessRun::Pixel(int x, int y) const
{
    if (framebuffer.size() != static_cast<size_t>(kPcWidth) * kPcHeight || x < 0 || y < 0 || x >= kPcWidth ||
        y >= kPcHeight)
        return 0;
    return framebuffer[static_cast<size_t>(y) * kPcWidth + x];
}

std::string HeadlessRun::Describe() const
{
    return "run " + dir + " ended " + ending + " " + std::to_string(code) + "; screen:\n" + screen;
}

HeadlessRun RunHeadless(const std::string& name, const std::string& script, const std::function<void()>& program)
{
    HeadlessRun run;
    HeadlessScript parsed;
    std::string error;
    if (ParseHeadlessScript(script, parsed, error) != 1) {
        ADD_FAILURE() << error;
        run.ending = "bad-script";
        return run;
    }
    run.folder = std::make_shared<HeadlessRunFolder>();
    run.folder->path = NewTempFolder("headless-" + name);
    run.dir = run.folder->path.u8string();
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        run.ending = "crashed";
        return run;
    }
    if (child == 0) {
        PcReset();
        PcInstallHeadless(parsed, run.dir);
        program();
        HeadlessEnd(HeadlessEnding::Returned, 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const std::string ending = FileText(run.dir + "/ending.txt");
    const size_t space = ending.find(' ');
    if (space == std::string::npos) {
        run.ending = "crashed";
        run.code = WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status);
    } else {
        run.ending = ending.substr(0, space);
        run.code = std::atoi(ending.c_str() + space + 1);
    }
    run.screen = FileText(run.dir + "/screen.txt");
    run.transcript = FileText(run.dir + "/transcript.txt");
    (void)ReadFileBytes(run.dir + "/framebuffer.bin", run.framebuffer);
    return run;
}
#endif

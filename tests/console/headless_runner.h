#pragma once
// Runs a piece of a console program on the headless PC in a child process, so that a program stop
// or a used-up script ends that run and not the test binary. POSIX only.
#include <functional>
#include <string>
#include <vector>

struct HeadlessRun {
    std::string ending;  // "returned", "stopped", "script-used-up", "crashed" or "bad-script"
    int code = -1;
    std::string screen;      // the shadow at the end
    std::string transcript;  // the shadow at each wait for input
    std::vector<unsigned char> framebuffer;
    std::string dir;  // the run's files

    unsigned char Pixel(int x, int y) const;
    // For a failed expectation: how the run ended and its last screen.
    std::string Describe() const;
};

// Runs `program` with `script` (ParseHeadlessScript's form); the files of the run go to the
// folder `name` under the build tree's console-dumps.
HeadlessRun RunHeadless(const std::string& name, const std::string& script, const std::function<void()>& program);

#pragma once
// Runs a piece of a console program on the headless PC in a child process, so that a program stop
// or a used-up script ends that run and not the test binary. POSIX only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct HeadlessRunFolder;

struct HeadlessRun {
    std::string ending;  // "returned", "stopped", "script-used-up", "crashed" or "bad-script"
    int code = -1;
    std::string screen;      // the shadow at the end
    std::string transcript;  // the shadow at each wait for input
    std::vector<unsigned char> framebuffer;
    std::string dir;  // the run's files
    // Removes `dir` with the last copy of the run, unless the test has failed by then: the files
    // are then kept for a person to look at, and Describe names them.
    std::shared_ptr<HeadlessRunFolder> folder;

    unsigned char Pixel(int x, int y) const;
    // For a failed expectation: how the run ended and its last screen.
    std::string Describe() const;
};

// Runs `program` with `script` (ParseHeadlessScript's form); the files of the run go to a new
// folder of its own, "vesk-headless-NAME-NUMBER" under the temporary folder, so that test runs
// side by side, also from one build tree, never meet in a folder.
HeadlessRun RunHeadless(const std::string& name, const std::string& script, const std::function<void()>& program);

#include "scripted_pc.h"

#include "console/screen.h"
#include "platform/pc.h"
#include "platform/pc_headless.h"
#include "platform/png_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

namespace {

struct ScriptUsedUp {};
struct ProgramStopped {
    int code;
};

struct Driver {
    HeadlessScript script;
    size_t next = 0;
    std::vector<ScreenPicture>* waits = nullptr;
};

ScreenPicture Picture(const std::string& label)
{
    ScreenPicture picture;
    picture.label = label;
    picture.text = PcShadowText();
    picture.pixels.assign(PcFramebuffer(), PcFramebuffer() + kPcWidth * kPcHeight);
    picture.pointerShown = PcPointerVisible();
    return picture;
}

void WaitInput(void* context)
{
    Driver& driver = *static_cast<Driver*>(context);
    if (driver.next >= driver.script.inputs.size()) {
        driver.waits->push_back(Picture("none left"));
        throw ScriptUsedUp{};
    }
    const HeadlessInput& input = driver.script.inputs[driver.next++];
    driver.waits->push_back(Picture(input.label));
    QueueHeadlessInput(input);
}

int64_t Clock(void* context)
{
    return static_cast<Driver*>(context)->script.clock;
}

void Stop(void*, int code)
{
    throw ProgramStopped{code};
}

}  // namespace

unsigned char ScreenPicture::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= kPcWidth || y >= kPcHeight || pixels.size() != size_t(kPcWidth) * kPcHeight)
        return 0;
    return pixels[static_cast<size_t>(y) * kPcWidth + x];
}

std::string ScreenPicture::Row(int row) const
{
    size_t begin = 0;
    for (int r = 0; r < row; ++r) {
        begin = text.find('\n', begin);
        if (begin == std::string::npos)
            return {};
        ++begin;
    }
    const size_t end = text.find('\n', begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

int ScreenPicture::Count(int x0, int y0, int x1, int y1, int colour) const
{
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            count += Pixel(x, y) == colour;
    }
    return count;
}

bool ScreenPicture::MenuFrameWhole(int column, int row, int width, int visible) const
{
    constexpr int kFrameColour = 7;
    const int left = column * 8 - 2, top = row * 14 - 2;
    const int right = left + width * 8 + 4, bottom = top + visible * 14 + 4;
    if (left < 0 || top < 0 || right >= kPcWidth || bottom >= kPcHeight)
        return false;
    return Count(left, top, right, top, kFrameColour) == right - left + 1 &&
           Count(left, bottom, right, bottom, kFrameColour) == right - left + 1 &&
           Count(left, top, left, bottom, kFrameColour) == bottom - top + 1 &&
           Count(right, top, right, bottom, kFrameColour) == bottom - top + 1;
}

std::string ScriptedRun::Describe() const
{
    return "run ended " + ending + " " + std::to_string(code) + " after " + std::to_string(waits.size()) +
           " waits; screen:\n" + end.text;
}

ScriptedRun RunScripted(const std::string& script, const std::function<void()>& program)
{
    ScriptedRun run;
    Driver driver;
    std::string error;
    if (ParseHeadlessScript(script, driver.script, error) != 1) {
        ADD_FAILURE() << error;
        run.ending = "bad-script";
        return run;
    }
    driver.waits = &run.waits;
    PcBackend backend;
    backend.context = &driver;
    backend.waitInput = WaitInput;
    backend.clock = Clock;
    backend.stop = Stop;
    PcInstallBackend(backend);
    PcReset();
    SetGraphicsMode(16);
    try {
        program();
        run.ending = "returned";
    } catch (const ProgramStopped& stopped) {
        run.ending = "stopped";
        run.code = stopped.code;
    } catch (const ScriptUsedUp&) {
        run.ending = "script-used-up";
    }
    run.end = Picture("end");
    run.inputsLeft = static_cast<int>(driver.script.inputs.size() - driver.next);
    // The driver dies with this frame; leave no backend pointing at it.
    PcInstallBackend(PcBackend());
    return run;
}

std::string DumpPicture(const ScreenPicture& picture, const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::u8path(VESK_CONSOLE_DUMPS) / "pictures";
    std::error_code ignored;
    fs::create_directories(dir, ignored);
    const std::string file = (dir / (name + ".png")).u8string();
    if (picture.pixels.size() != size_t(kPcWidth) * kPcHeight ||
        WritePalettePng(file, kPcWidth, kPcHeight, picture.pixels.data(), kPcPalette, 16) != 1)
        return {};
    return file;
}

// The Open command's reader chain on any bytes: the multi-part file, the univariate project
// file and the ASCII series. What loads must be sound, and a project file that loads must be
// written again and read back unchanged.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "univariate/project_open.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    LoadedProjectFile loaded;
    std::vector<FileMessage> messages;
    const int32_t kind = ReadProjectBytes(bytes, loaded, messages);
    FUZZ_CHECK(kind == loaded.kind);
    for (const FileMessage& message : messages) FUZZ_CHECK(!message.text.empty() && !message.caption.empty());
    if (kind == LOADED_NOTHING) return 0;
    if (kind != LOADED_PROJECT) {
        FUZZ_CHECK(!loaded.values.empty() && loaded.values.size() <= size);
        for (double v : loaded.values) FUZZ_CHECK(std::isfinite(v));
        return 0;
    }
    const size_t n = loaded.contents.series.size();
    FUZZ_CHECK(n * 8 <= size);
    FUZZ_CHECK(loaded.contents.nodes.size() <= static_cast<size_t>(kMaxTransformNodes));
    // Whatever the reader accepts, the writer writes; and that image reads back to the same
    // record, so writing it again gives the same bytes.
    std::vector<unsigned char> images[2];
    for (std::vector<unsigned char>& image : images) {
        UnivariateProject project;
        VeskInit(project);
        uint32_t colors[kPlotColorCount + 1] = {};
        FUZZ_CHECK(CommitLoadedFile(loaded, project, "fuzz.kdx", colors) == 1);
        FUZZ_CHECK(project.n == static_cast<int32_t>(project.series.size()));
        FileMessage message;
        FUZZ_CHECK(EncodeUnivariateFile(project, colors, image, message) == 1);
        FUZZ_CHECK(image.size() == size);  // nothing after the last node was taken
        FreeTransformStack(project.transforms);
        messages.clear();
        FUZZ_CHECK(ReadProjectBytes(image, loaded, messages) == LOADED_PROJECT);
    }
    FUZZ_CHECK(images[0] == images[1]);
    return 0;
}

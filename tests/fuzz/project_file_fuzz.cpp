// The univariate project file decoder alone, on images that begin with its magic number (a stack
// it accepts must undo to the bottom), and the multi-part reader's routines on the same bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_bytes.h"
#include "shell/project_file_parts.h"
#include "tests/fuzz/fuzz_support.h"
#include "univariate/project_file.h"
#include "univariate/transform_menu.h"
#include "univariate/transforms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> bytes;
    AppendInt32(bytes, kUnivariateFileMagic);
    bytes.insert(bytes.end(), data, data + size);
    UnivariateFileContents contents;
    contents.p = 99;
    FileMessage message;
    const int32_t status = DecodeUnivariateFile(bytes, contents, message);
    FUZZ_CHECK(status == 0 || status == 1);
    if (status == 0) {
        FUZZ_CHECK(contents.p == 99 && !message.text.empty() && message.caption == "VeskRead()");
    } else {
        FUZZ_CHECK(contents.p >= 0 && contents.p <= 26 && contents.q >= 0 && contents.q <= 26);
        FUZZ_CHECK(contents.series.size() * 8 <= size);
        for (double v : contents.series) FUZZ_CHECK(std::isfinite(v));
        for (int j = 1; j <= 27; ++j) FUZZ_CHECK(std::isfinite(contents.phi[j]) && std::isfinite(contents.theta[j]));
        std::vector<int32_t> kinds;
        for (const TransformNode& node : contents.nodes) kinds.push_back(node.kind);
        FUZZ_CHECK(TransformOrderBuildable(kinds));
        // Undo takes the stack down to the series it was applied to, node by node.
        UnivariateProject project;
        VeskInit(project);
        uint32_t colors[kPlotColorCount + 1] = {};
        CommitUnivariateFile(contents, project, colors);
        while (project.transforms) FUZZ_CHECK(UndoNewestTransform(project) == 1);
        for (double v : project.series) FUZZ_CHECK(std::isfinite(v));
        FUZZ_CHECK(project.n == static_cast<int32_t>(project.series.size()));
    }

    // The same bytes as a multi-part file: a header tag in front.
    std::vector<unsigned char> parts;
    AppendInt32(parts, kHeaderPartTag);
    parts.insert(parts.end(), data, data + size);
    FilePartBuffer buffer;
    ResetFileParts(buffer);
    FileMessage partMessage;
    if (ReadHeaderPart(parts, buffer, partMessage) && ReadDataPart(parts, buffer, partMessage)) {
        FUZZ_CHECK(buffer.n >= 0 && static_cast<size_t>(buffer.n) == buffer.values.size());
        FUZZ_CHECK(buffer.values.size() * 8 <= size);
        for (double v : buffer.values) FUZZ_CHECK(std::isfinite(v));
    }
    return 0;
}

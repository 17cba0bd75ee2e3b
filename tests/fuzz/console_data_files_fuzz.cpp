// The console programs' data and model files on any bytes: the data-file reader of all four
// programs (through a real file, as the programs open it; series and vectors of three values) and
// the long-memory program's model file.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "console/data_file.h"
#include "console/halvire.h"
#include "console/ospe.h"
#include "platform/text_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// One scratch file for the whole run, removed at exit.
const std::string& ScratchName()
{
    static const std::string name = [] {
        char path[] = "/tmp/vesk-fuzz-data-XXXXXX";
        const int fd = mkstemp(path);
        FUZZ_CHECK(fd >= 0);
        close(fd);
        static std::string kept = path;
        std::atexit([] { std::remove(kept.c_str()); });
        return kept;
    }();
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& name = ScratchName();
    std::FILE* f = std::fopen(name.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
    FUZZ_CHECK(std::fclose(f) == 0);

    for (int m : {1, 3}) {
        DataFileRead read;
        FUZZ_CHECK(ReadDataFile(name, m, kOspeMaxValues, read) == 1);
        FUZZ_CHECK(read.count >= 0 && read.count <= kOspeMaxValues);
        FUZZ_CHECK(read.values.size() == static_cast<size_t>(read.count) * static_cast<size_t>(m));
        FUZZ_CHECK(read.stopLine >= 0 && (read.stopLine == 0) == (read.fault == DataFault::None));
        FUZZ_CHECK(!read.more || read.count == kOspeMaxValues);
        FUZZ_CHECK(read.total >= read.count && (read.total > read.count) == read.more);
        FUZZ_CHECK(read.longLine >= 0 && read.shortLine >= 0 && (read.longLine == 0) == (read.itemsNotRead == 0));
        for (float v : read.values) FUZZ_CHECK(std::isfinite(v));
    }

    TextFile file;
    file.records = SplitRecords(std::string_view(reinterpret_cast<const char*>(data), size));
    file.name = "model";
    file.mode = TextFile::Mode::Reading;
    FracArmaModel model;
    float sigma2 = -1.0f;
    if (ReadModelFile(file, model, sigma2).empty()) {
        FUZZ_CHECK(model.p >= 0 && model.p <= kHalvireMaxOrder && model.q >= 0 && model.q <= kHalvireMaxOrder);
        FUZZ_CHECK(std::fabs(model.d) < 0.5f && sigma2 > 0.0f && std::isfinite(sigma2));
        for (int i = 0; i < model.p; ++i) FUZZ_CHECK(std::isfinite(model.phi[i]));
        for (int i = 0; i < model.q; ++i) FUZZ_CHECK(std::isfinite(model.theta[i]));
    } else {
        FUZZ_CHECK(sigma2 == -1.0f);  // a refused file changes nothing
    }
    return 0;
}

// The console programs' record reader on any text: split into records, then free-format reads
// of singles and integers over them until the input ends.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_file.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> records = SplitRecords(text);
    FUZZ_CHECK(records.size() <= size + 1);
    for (int pass = 0; pass < 2; ++pass) {
        size_t next = 0;
        const auto nextRecord = [&](std::string& record) {
            if (next >= records.size()) return false;
            record = records[next++];
            return true;
        };
        // Each read takes at least one record, so this ends after records.size() reads.
        for (size_t reads = 0; reads <= records.size(); ++reads) {
            const int count = 1 + static_cast<int>(reads % 4);
            int status = 0;
            if (pass == 0) {
                float values[4] = {};
                status = ReadRecordSingles(nextRecord, count, values);
                if (status == 1)
                    for (int k = 0; k < count; ++k) FUZZ_CHECK(std::isfinite(values[k]));
            } else {
                int32_t values[4] = {};
                status = ReadRecordInts(nextRecord, count, values);
            }
            FUZZ_CHECK(status >= -1 && status <= 1);
            if (status != 1) break;
        }
    }
    return 0;
}

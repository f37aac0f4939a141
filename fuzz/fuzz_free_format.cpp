// libFuzzer target: see RunFreeFormatInput in fuzz/harness_recordio.h.
#include <cstdio>
#include <cstdlib>

#include "fuzz/harness_recordio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = fuzzh::RunFreeFormatInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

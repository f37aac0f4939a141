// libFuzzer target: see RunModelFileInput in fuzz/harness_front_end.h.
#include <cstdio>
#include <cstdlib>

#include "fuzz/harness_front_end.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = fuzzh::RunModelFileInput(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

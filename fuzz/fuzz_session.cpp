// libFuzzer target: see RunSessionInput in fuzz/harness_front_end.h. The
// scratch folder of every session holds the example models and a small
// curve-fitting data file, so that file names in the input can reach them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/harness_front_end.h"

namespace {

fuzzh::SessionFiles files;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::filesystem::path examples = std::filesystem::path(KORVO_SOURCE_DIR) / "examples";
    for (const char* name : {"simple.dat", "metric.dat", "pedestal.dat", "stability.dat"}) {
        std::ifstream in(examples / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        files.emplace_back(name, text.str());
    }
    files.emplace_back("fit.txt", "0 1 2\n1 2 3\n2 5 1\n3 10 0\n4 17 2\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = fuzzh::RunSessionInput(data, size, files);
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

// Every input of fuzz/corpus and every crash input kept in fuzz/crashes,
// replayed through the entry points of the fuzz targets: none may break an
// invariant (and, in the sanitizer build, none may trip a sanitizer).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz/harness_front_end.h"
#include "fuzz/harness_recordio.h"
#include "tests/support/session.h"

namespace {

TEST(FuzzReplay, CorpusAndKeptCrashes) {
    setenv("COMSPEC", "/bin/true", 1);  // a command typed at a pause does nothing
    fuzzh::SessionFiles files;
    for (const char* name : {"simple.dat", "metric.dat", "pedestal.dat", "stability.dat"})
        files.emplace_back(name, SourceFile("examples/" + std::string(name)));
    files.emplace_back("fit.txt", "0 1 2\n1 2 3\n2 5 1\n3 10 0\n4 17 2\n");
    int replayed = 0;
    for (const char* where : {"fuzz/corpus", "fuzz/crashes"}) {
        if (!std::filesystem::exists(SourcePath(where))) continue;
        for (const auto& dir : std::filesystem::directory_iterator(SourcePath(where)))
            for (const auto& f : std::filesystem::directory_iterator(dir.path())) {
                const std::string target = dir.path().filename().string();
                std::ifstream in(f.path(), std::ios::binary);
                const std::string bytes(std::istreambuf_iterator<char>(in), {});
                const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
                std::string broken = "unknown target";
                if (target == "free_format") broken = fuzzh::RunFreeFormatInput(data, bytes.size());
                if (target == "a_format") broken = fuzzh::RunAFormatInput(data, bytes.size());
                if (target == "model_file") broken = fuzzh::RunModelFileInput(data, bytes.size());
                if (target == "session") broken = fuzzh::RunSessionInput(data, bytes.size(), files);
                EXPECT_EQ(broken, "") << f.path();
                ++replayed;
            }
    }
    EXPECT_GE(replayed, 32);
}

}  // namespace

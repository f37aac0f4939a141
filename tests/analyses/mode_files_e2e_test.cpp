// Mode-shape files of the undamped analysis through the real program: modes
// dealt out over the files, axial positions, free-format records read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/models.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;

TEST(ModeFilesE2E, ModesDealtOutOverFilesAndReadBack) {
    // A pinned-pinned beam, 40 in long, with uneven elements; run 1: six
    // normalised modes in files of 2, 3 and 1 modes; run 2: four unnormalised
    // modes in one file.
    const float lengths[10] = {3, 5, 4, 4, 4, 4, 4, 4, 5, 3};
    std::string model = "MODE FILE BEAM\n11 0 2 0 0\n1 0\n";
    for (float l : lengths) model += "2.0 0.0 " + std::to_string(l) + " 0.0 0.0\n";
    model += "1 0.0\n11 0.0\n3.0E7 0.283\n1\n0.0\n1.0E10 0.0 0.0 1.0E10 0.0 0.0 0.0 0.0\n"
             "1.0E10 0.0 0.0 1.0E10 0.0 0.0 0.0 0.0\n";
    for (int s = 1; s <= 11; ++s) model += std::to_string(s) + " 0.0 0.0\n";
    SessionSetup setup;
    setup.files["beam.dat"] = model;
    const Session s = RunKorvo(Script({"1", "", "1", "1", "beam.dat", "5", "Y", "Y", "6", "N", "2", "m1.dat", "3",
                                       "m2.dat", "1", "m3.dat", "3", "rep1.out", "", "1", "", "5", "N", "Y", "4",
                                       "Y", "all.dat", "1", "rep2.out", "", "8"}),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    std::vector<double> z(11, 0.0);
    for (int st = 1; st < 11; ++st) z[st] = z[st - 1] + lengths[st - 1];

    // One record per station: its axial position, then the modes of the file,
    // each sin(n pi z / L) scaled by its largest station value, one sign
    // throughout; the ascending modes pair up with n = 1, 1, 2, 2, 3, 3.
    const char* files[3] = {"m1.dat", "m2.dat", "m3.dat"};
    const int counts[3] = {2, 3, 1}, halfWaves[6] = {1, 1, 2, 2, 3, 3};
    for (int f = 0, mode = 0; f < 3; mode += counts[f++]) {
        const std::string text = s.file(files[f]);
        const auto recs = Chunks(text, 1 + counts[f]);
        ASSERT_EQ(recs.size(), 11u) << files[f];
        EXPECT_EQ(SplitLines(text).size(), 11u) << files[f];
        EXPECT_NE(text.find("\r\n"), std::string::npos);
        for (int k = 1; k <= counts[f]; ++k) {
            const int n = halfWaves[mode + k - 1];
            double peak = 0.0, biggest = 0.0, sign = 0.0;
            for (int st = 0; st < 11; ++st) {
                const double e = std::sin(n * kPi * z[st] / 40.0), x = recs[st][k];
                peak = std::max(peak, std::fabs(e));
                biggest = std::max(biggest, std::fabs(x));
                if (sign == 0.0 && std::fabs(e) > 0.5) sign = (x > 0) == (e > 0) ? 1.0 : -1.0;
            }
            EXPECT_EQ(biggest, 1.0) << files[f] << " mode " << mode + k;
            for (int st = 0; st < 11; ++st)
                EXPECT_NEAR(recs[st][k], sign * std::sin(n * kPi * z[st] / 40.0) / peak, 5e-3) << files[f] << " " << st;
        }
        for (int st = 0; st < 11; ++st) EXPECT_EQ(recs[st][0], z[st]) << files[f];
    }

    // Five reals per record wrap after four values and are read back across
    // the line break. M-normalised shapes: the largest value is not 1, the
    // pinned ends stay almost at rest.
    const auto all = Chunks(s.file("all.dat"), 5);
    ASSERT_EQ(all.size(), 11u);
    EXPECT_EQ(SplitLines(s.file("all.dat")).size(), 22u);
    EXPECT_EQ(all[1][0], 3.0);
    EXPECT_EQ(all[10][0], 40.0);
    for (int k = 1; k <= 4; ++k) {
        double biggest = 0.0;
        for (const auto& r : all) biggest = std::max(biggest, std::fabs(r[k]));
        EXPECT_GT(std::fabs(biggest - 1.0), 0.1);
        EXPECT_LT(std::fabs(all[0][k]), 1e-3 * biggest);
        EXPECT_LT(std::fabs(all[10][k]), 1e-3 * biggest);
    }
}

}  // namespace

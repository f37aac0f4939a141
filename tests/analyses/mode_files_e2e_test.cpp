// Mode-shape files of the undamped analysis through the real program: modes
// dealt out over the files, axial positions, free-format records read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/session.h"

namespace {

// A session set-up that places one model file in the folder.
SessionSetup Files(const std::string& name, const std::string& text) {
    SessionSetup setup;
    setup.files[name] = text;
    return setup;
}

constexpr double kPi = 3.14159265358979323846;

// Pinned-pinned beam, 40 in long, with uneven elements.
const float kLengths[10] = {3, 5, 4, 4, 4, 4, 4, 4, 5, 3};

std::string BeamModel() {
    std::string m = "MODE FILE BEAM\n11 0 2 0 0\n1 0\n";
    for (float l : kLengths) m += "2.0 0.0 " + std::to_string(l) + " 0.0 0.0\n";
    m += "1 0.0\n11 0.0\n3.0E7 0.283\n1\n0.0\n";
    m += "1.0E10 0.0 0.0 1.0E10 0.0 0.0 0.0 0.0\n1.0E10 0.0 0.0 1.0E10 0.0 0.0 0.0 0.0\n";
    for (int s = 1; s <= 11; ++s) m += std::to_string(s) + " 0.0 0.0\n";
    return m;
}

// Every number of a free-format file, in order (records may wrap).
std::vector<double> Numbers(const std::string& text) {
    std::vector<double> out;
    const char* p = text.c_str();
    while (*p) {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p) {
            ++p;
            continue;
        }
        out.push_back(v);
        p = end;
    }
    return out;
}

TEST(ModeFilesE2E, ModesDealtOutOverThreeFiles) {
    // Six modes, files of 2, 3 and 1: modes 1-2, 3-5 and 6.
    Session s = RunKorvo("1\n\n1\n1\nbeam.dat\n5\nY\nY\n6\nN\n2\nm1.dat\n3\nm2.dat\n1\nm3.dat\n3\nrep.out\n\n8\n",
                         Files("beam.dat", BeamModel()));
    ASSERT_EQ(s.status, 0) << s.err;

    std::vector<double> z(11, 0.0);
    for (int st = 1; st < 11; ++st) z[st] = z[st - 1] + kLengths[st - 1];
    const double L = z[10];

    const char* files[3] = {"m1.dat", "m2.dat", "m3.dat"};
    const int counts[3] = {2, 3, 1};
    // Ascending modes: pairs of equal frequency with n = 1, 1, 2, 2, 3, 3 half waves.
    const int halfWaves[6] = {1, 1, 2, 2, 3, 3};
    int mode = 0;
    for (int f = 0; f < 3; ++f) {
        const std::string text = s.file(files[f]);
        EXPECT_EQ(SplitLines(text).size(), 11u) << files[f];  // one record per station
        EXPECT_NE(text.find("\r\n"), std::string::npos);
        const std::vector<double> v = Numbers(text);
        ASSERT_EQ(v.size(), static_cast<size_t>(11 * (1 + counts[f]))) << files[f];
        for (int k = 0; k < counts[f]; ++k) {
            const int n = halfWaves[mode + k];
            // The curve scaled by its largest station value, with one sign
            // throughout (whatever the reference made it).
            double peak = 0.0;
            for (int st = 0; st < 11; ++st) peak = std::max(peak, std::fabs(std::sin(n * kPi * z[st] / L)));
            double sign = 0.0, biggest = 0.0;
            for (int st = 0; st < 11; ++st) {
                const double x = v[st * (1 + counts[f]) + 1 + k];
                if (std::fabs(x) > biggest) biggest = std::fabs(x);
                const double e = std::sin(n * kPi * z[st] / L);
                if (sign == 0.0 && std::fabs(e) > 0.5) sign = (x > 0) == (e > 0) ? 1.0 : -1.0;
            }
            EXPECT_EQ(biggest, 1.0) << files[f] << " mode " << mode + k + 1;
            for (int st = 0; st < 11; ++st) {
                const double x = v[st * (1 + counts[f]) + 1 + k];
                EXPECT_NEAR(x, sign * std::sin(n * kPi * z[st] / L) / peak, 5e-3)
                    << files[f] << " mode " << mode + k + 1 << " station " << st + 1;
            }
        }
        for (int st = 0; st < 11; ++st) EXPECT_EQ(v[st * (1 + counts[f])], z[st]) << files[f];
        mode += counts[f];
    }
}

TEST(ModeFilesE2E, OneFileForAllModesAndNoFilesWithoutTheQuestion) {
    // Same graph: all four modes in one file, five reals per record, which
    // wrap after four values and are read back across the line break.
    Session s = RunKorvo("1\n\n1\n1\nbeam.dat\n5\nN\nY\n4\nY\nall.dat\n1\nrep.out\n\n8\n",
                         Files("beam.dat", BeamModel()));
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<double> v = Numbers(s.file("all.dat"));
    ASSERT_EQ(v.size(), 55u);
    EXPECT_EQ(SplitLines(s.file("all.dat")).size(), 22u);
    EXPECT_EQ(v[5], 3.0);    // z of station 2
    EXPECT_EQ(v[50], 40.0);  // z of station 11
    // Unnormalised (M-normalised) shapes: the largest value is not 1, the
    // pinned ends stay almost at rest.
    for (int k = 1; k <= 4; ++k) {
        double biggest = 0.0;
        for (int st = 0; st < 11; ++st) biggest = std::max(biggest, std::fabs(v[st * 5 + k]));
        EXPECT_GT(std::fabs(biggest - 1.0), 0.1);
        EXPECT_LT(std::fabs(v[k]), 1e-3 * biggest);
        EXPECT_LT(std::fabs(v[50 + k]), 1e-3 * biggest);
    }

    // Damped-only runs write no mode files.
    Session d = RunKorvo("2\n1\n1\nbeam.dat\n5\n1\nrep.out\n\n8\n", Files("beam.dat", BeamModel()));
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_FALSE(d.exists("all.dat"));
}

}  // namespace

// The curve-fitting tool (main-menu 7) through the real program: fitted files
// against closed forms, the column and row limits, and the refusals that go
// back to the main menu.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/models.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;

double Tol(double v) { return 2e-6 * (1.0 + std::fabs(v)) + 1e-6; }

TEST(CurveFit, FitsAndRefusalsInOneSession) {
    struct Fit {
        std::string data, endcond, columns, print, points;
        size_t records, width;
        double x0, dx;
        std::function<double(int, double)> f;  // ordinate m at x
    };
    std::string hundred;  // 120 rows of y = 3x: only the first 99 are fitted
    for (int r = 1; r <= 120; ++r) hundred += std::to_string(r) + " " + std::to_string(3 * r) + "\n";
    const Fit fits[] = {
        // Two rows, end condition 1: the straight line at P + 1 points (too
        // few points asked again).
        {"2.0 1.0\n6.0 -3.0\n", "1", "2", "N", "2\n1\n8", 9, 2, 2.0, 0.5, [](int, double x) { return 3.0 - x; }},
        // One column: only the abscissae.
        {"0.0\n1.0\n3.0\n", "1", "1", "N", "6", 7, 1, 0.0, 0.5, nullptr},
        // Seven columns: only the first four ordinates, lines m x + m.
        {"0 1 2 3 4 777 888\n1 2 4 6 8 777 888\n2.5 3.5 7 10.5 14 777 888\n4 5 10 15 20 777 888\n", "3", "7", "N", "8",
         9, 5, 0.0, 0.5, [](int m, double x) { return m * x + m; }},
        // Parabolic ends follow a parabola on uneven rows; the data echoed.
        {"-2, 6\n-0.5, 2.625\n0.25, 1.78125\n1, 1.5\n3, 3.5\n", "2", "2", "Y", "20", 21, 2, -2.0, 0.25,
         [](int, double x) { return 0.5 * x * x - x + 2.0; }},
        {hundred, "1", "2", "N", "196", 197, 2, 1.0, 0.5, [](int, double x) { return 3.0 * x; }},
    };
    const struct {
        const char *data, *columns;
        bool unreadable;
    } refusals[] = {
        {"1.0 2.0\n2.0 abc\n3.0 4.0\n", "2", true},  // malformed row
        {"1.0 2.0\nx 2.0\n", "2", true},             // letters at the start of a row
        {"1.0 2.0\n2.0 3.0\n3.0 4.0\n", "3", true},  // fewer values than the column count
        {"1.0 2.0\n", "2", false},                   // one row
        {"", "2", false},                            // no row
        {"1.0 2.0\n2.0 3.0\n2.0 4.0\n", "2", false}, // repeated abscissa
        {"3.0 2.0\n2.0 3.0\n", "2", false},          // decreasing abscissa
    };
    SessionSetup setup;
    std::vector<std::string> in;
    for (size_t k = 0; k < std::size(fits); ++k) {
        const std::string n = std::to_string(k);
        setup.files["d" + n] = fits[k].data;
        for (const std::string& l : {std::string("7"), fits[k].endcond, "d" + n, fits[k].columns, "f" + n,
                                     fits[k].print, fits[k].points})
            in.push_back(l);
    }
    for (size_t k = 0; k < std::size(refusals); ++k) {
        const std::string n = std::to_string(k);
        setup.files["r" + n] = refusals[k].data;
        for (const std::string& l : {std::string("7"), std::string("1"), "r" + n, std::string(refusals[k].columns),
                                     "g" + n, std::string()})
            in.push_back(l);
    }
    in.push_back("8");
    const Session s = RunKorvo(Script(in), setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // The console of each fit follows a main menu.
    const std::vector<std::string> part = SplitAt(s.out, "M A I N    M E N U");
    ASSERT_EQ(part.size(), 2 + std::size(fits) + std::size(refusals));

    for (size_t k = 0; k < std::size(fits); ++k) {
        const Fit& f = fits[k];
        const auto recs = Chunks(s.file("f" + std::to_string(k)), f.width);
        ASSERT_EQ(recs.size(), f.records) << k;
        for (size_t i = 0; i < recs.size(); ++i) {
            EXPECT_NEAR(recs[i][0], f.x0 + f.dx * static_cast<double>(i), Tol(recs.back()[0])) << k;
            for (size_t m = 1; m < f.width; ++m) {
                const double want = f.f(static_cast<int>(m), recs[i][0]);
                EXPECT_NEAR(recs[i][m], want, 10 * Tol(want)) << k << " at " << recs[i][0];
            }
        }
    }
    EXPECT_NE(part[1].find("  2 Rows of Data Read from d0"), std::string::npos);
    EXPECT_EQ(CountOccurrences(part[1], " Too Little Points !"), 2);
    EXPECT_EQ(Chunks(s.file("f0"), 2).back().at(0), 6.0);  // the last record at x(R)
    EXPECT_EQ(Chunks(s.file("f4"), 2).back().at(0), 99.0);
    EXPECT_EQ(s.file("f2").find("777"), std::string::npos);
    EXPECT_NE(part[4].find("  -5.000000E-01        2.625000"), std::string::npos);
    EXPECT_NE(part[4].find("       3.000000        3.500000"), std::string::npos);
    EXPECT_NE(part[5].find("120 Rows of Data Read from d4"), std::string::npos);
    EXPECT_NE(part[5].find("But Only 99 Rows Will be Fitted"), std::string::npos);

    for (size_t k = 0; k < std::size(refusals); ++k) {
        const std::string& p = part[1 + std::size(fits) + k];
        EXPECT_EQ(CountOccurrences(p, " ERROR READING DATA_FILE !"), refusals[k].unreadable ? 1 : 0) << k;
        EXPECT_EQ(CountOccurrences(p, "Press <Enter> to continue ..."), 1) << k;
        EXPECT_EQ(CountOccurrences(p, "Number of Data_Points Wanted"), 0) << k;
        EXPECT_EQ(s.file("g" + std::to_string(k)), "") << k;
    }
}

}  // namespace

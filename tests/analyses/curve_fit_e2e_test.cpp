// The curve-fitting tool (main-menu 7) through the real program: the fitted
// file against closed forms, the column and row limits, and the refusals
// that go back to the main menu.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/session.h"

namespace {

struct Answers {
    int endcond = 1;
    int columns = 2;
    std::string print = "N";
    std::string points = "10";
};

// Main-menu 7 with the data file data.txt and the output fit.txt, then the exit.
std::string Script(const Answers& a) {
    return "7\n" + std::to_string(a.endcond) + "\ndata.txt\n" + std::to_string(a.columns) + "\nfit.txt\n" + a.print +
           "\n" + a.points + "\n8\n";
}

Session RunFit(const std::string& data, const Answers& a) {
    SessionSetup setup;
    setup.files["data.txt"] = data;
    return RunKorvo(Script(a), setup);
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> v;
    std::istringstream in(text);
    std::string tok;
    while (in >> tok) v.push_back(std::strtod(tok.c_str(), nullptr));
    return v;
}

// The fitted records, each a point u followed by its values; the free-format
// writer may wrap a record, so the values are grouped by count.
std::vector<std::vector<double>> Records(const std::string& text, int perRecord) {
    const std::vector<double> v = Numbers(text);
    std::vector<std::vector<double>> r;
    for (size_t i = 0; i + perRecord <= v.size(); i += perRecord)
        r.emplace_back(v.begin() + static_cast<long>(i), v.begin() + static_cast<long>(i) + perRecord);
    EXPECT_EQ(v.size() % perRecord, 0u);
    return r;
}

double Tol(double v) { return 2e-6 * (1.0 + std::fabs(v)) + 1e-6; }

TEST(CurveFit, TwoRowsGiveTheStraightLineAtPPlusOnePoints) {
    Answers a;
    a.points = "2\n1\n8";  // not more points than rows: asked again
    Session s = RunFit("2.0 1.0\n6.0 -3.0\n", a);
    EXPECT_EQ(s.status, 0) << s.err;
    const auto recs = Records(s.file("fit.txt"), 2);
    ASSERT_EQ(recs.size(), 9u);
    EXPECT_EQ(recs.front()[0], 2.0);
    EXPECT_EQ(recs.back()[0], 6.0);
    for (size_t i = 0; i < recs.size(); ++i) {
        EXPECT_NEAR(recs[i][0], 2.0 + 0.5 * static_cast<double>(i), Tol(6.0));
        EXPECT_NEAR(recs[i][1], 1.0 - (recs[i][0] - 2.0), Tol(3.0)) << i;
    }
    EXPECT_NE(s.out.find("  2 Rows of Data Read from data.txt"), std::string::npos);
    EXPECT_EQ(CountOccurrences(s.out, " Too Little Points !"), 2);
    // Back in the main menu after the fit: the menu is shown again.
    EXPECT_EQ(CountOccurrences(s.out, "M A I N    M E N U"), 2);
}

TEST(CurveFit, OneColumnWritesOnlyTheAbscissae) {
    Answers a;
    a.columns = 1;
    a.points = "6";
    Session s = RunFit("0.0\n1.0\n3.0\n", a);
    EXPECT_EQ(s.status, 0) << s.err;
    const auto lines = SplitLines(s.file("fit.txt"));
    ASSERT_EQ(lines.size(), 7u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto v = Numbers(lines[i]);
        ASSERT_EQ(v.size(), 1u) << lines[i];
        EXPECT_NEAR(v[0], 0.5 * static_cast<double>(i), Tol(3.0));
    }
}

TEST(CurveFit, SevenColumnsFitOnlyTheFirstFourOrdinates) {
    // Ordinates m = 1..4 are lines m*x + m; columns 6 and 7 hold marker values.
    std::string data;
    for (double x : {0.0, 1.0, 2.5, 4.0}) {
        std::ostringstream row;
        row << x;
        for (int m = 1; m <= 4; ++m) row << " " << m * x + m;
        row << " 777.0 888.0\n";
        data += row.str();
    }
    Answers a;
    a.columns = 7;
    a.endcond = 3;
    a.points = "8";
    Session s = RunFit(data, a);
    EXPECT_EQ(s.status, 0) << s.err;
    const std::string fit = s.file("fit.txt");
    EXPECT_EQ(fit.find("777"), std::string::npos);
    EXPECT_EQ(fit.find("888"), std::string::npos);
    const auto recs = Records(fit, 5);
    ASSERT_EQ(recs.size(), 9u);
    for (const auto& r : recs)
        for (int m = 1; m <= 4; ++m) EXPECT_NEAR(r[m], m * r[0] + m, Tol(20.0)) << r[0];
}

TEST(CurveFit, ParabolicEndsFollowAParabolaOnUnevenRows) {
    auto f = [](double x) { return 0.5 * x * x - x + 2.0; };
    std::string data;
    for (double x : {-2.0, -0.5, 0.25, 1.0, 3.0}) {
        std::ostringstream row;
        row << x << ", " << f(x) << "\n";
        data += row.str();
    }
    Answers a;
    a.endcond = 2;
    a.print = "Y";
    a.points = "20";
    Session s = RunFit(data, a);
    EXPECT_EQ(s.status, 0) << s.err;
    const auto recs = Records(s.file("fit.txt"), 2);
    ASSERT_EQ(recs.size(), 21u);
    for (const auto& r : recs) EXPECT_NEAR(r[1], f(r[0]), 2e-5 * (1.0 + std::fabs(f(r[0])))) << r[0];
    // The data echoed on the screen, one row per line.
    EXPECT_NE(s.out.find("  -5.000000E-01        2.625000"), std::string::npos);
    EXPECT_NE(s.out.find("       3.000000        3.500000"), std::string::npos);
}

TEST(CurveFit, OnlyTheFirst99RowsAreFitted) {
    std::string data;
    for (int r = 1; r <= 120; ++r) data += std::to_string(r) + " " + std::to_string(3 * r) + "\n";
    Answers a;
    a.points = "196";
    Session s = RunFit(data, a);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("120 Rows of Data Read from data.txt"), std::string::npos);
    EXPECT_NE(s.out.find("But Only 99 Rows Will be Fitted"), std::string::npos);
    const auto recs = Records(s.file("fit.txt"), 2);
    ASSERT_EQ(recs.size(), 197u);
    EXPECT_EQ(recs.back()[0], 99.0);
    EXPECT_NEAR(recs[1][0], 1.5, Tol(99.0));
    for (const auto& r : recs) EXPECT_NEAR(r[1], 3.0 * r[0], Tol(300.0));
}

TEST(CurveFit, UnreadableDataGoesBackToTheMainMenu) {
    struct Case {
        const char* name;
        const char* data;
        int columns;
    };
    const Case cases[] = {
        {"malformed row", "1.0 2.0\n2.0 abc\n3.0 4.0\n", 2},
        {"letters at the start of a row", "1.0 2.0\nx 2.0\n", 2},
        {"fewer values than the column count", "1.0 2.0\n2.0 3.0\n3.0 4.0\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionSetup setup;
        setup.files["data.txt"] = c.data;
        Session s = RunKorvo("7\n1\ndata.txt\n" + std::to_string(c.columns) + "\nfit.txt\n\n8\n", setup);
        EXPECT_EQ(s.status, 0) << s.err;
        EXPECT_EQ(CountOccurrences(s.out, " ERROR READING DATA_FILE !"), 1);
        EXPECT_EQ(CountOccurrences(s.out, "Press <Enter> to continue ..."), 1);
        EXPECT_EQ(CountOccurrences(s.out, "M A I N    M E N U"), 2);
        EXPECT_EQ(CountOccurrences(s.out, "Number of Data_Points Wanted"), 0);
        EXPECT_EQ(s.file("fit.txt"), "");
    }
}

TEST(CurveFit, DataThatCannotBeFittedIsRefused) {
    struct Case {
        const char* name;
        const char* data;
    };
    const Case cases[] = {
        {"one row", "1.0 2.0\n"},
        {"no row", ""},
        {"repeated abscissa", "1.0 2.0\n2.0 3.0\n2.0 4.0\n"},
        {"decreasing abscissa", "3.0 2.0\n2.0 3.0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionSetup setup;
        setup.files["data.txt"] = c.data;
        Session s = RunKorvo("7\n1\ndata.txt\n2\nfit.txt\n\n8\n", setup);
        EXPECT_EQ(s.status, 0) << s.err;
        EXPECT_EQ(CountOccurrences(s.out, "Press <Enter> to continue ..."), 1);
        EXPECT_EQ(CountOccurrences(s.out, "M A I N    M E N U"), 2);
        EXPECT_EQ(CountOccurrences(s.out, "Number of Data_Points Wanted"), 0);
        EXPECT_EQ(s.file("fit.txt"), "");
    }
}

}  // namespace

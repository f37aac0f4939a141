// korvo-plot: record grouping, derived values against closed forms, and the
// pictures of every kind of file end to end.
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "plots/derived.h"
#include "plots/plot_data.h"
#include "tests/support/session.h"

namespace fs = std::filesystem;
using S = std::string;
using Lines = std::vector<S>;

namespace {

const double kPi = 3.14159265358979323846;

// Two 100 lb discs on a short stiff shaft on two equal bearings (stiffness
// K, damping C) whose cross-coupled stiffness grows with speed, q = Q1 Omega.
// The cylindrical whirl of each half (mass M) obeys M s^2 + C s + K - i q = 0,
// unstable from q = C w with w = sqrt(K/M).
struct CrossCoupledRotor {
    static constexpr double K = 1.0e5, C = 50.0, Q1 = 25.0, M = (40.0 / 2 + 100.0) / 386.0;
    static double WhirlRad() { return std::sqrt(K / M); }
    static double ThresholdRpm() { return C * WhirlRad() / Q1 * 30.0 / kPi; }  // 10831.9
    static S Model() {
        S s = "CROSS-COUPLED TEST ROTOR\n2 2 2 0 0\n1 0\n4.0 0.0 10.0 12.566 40\n1 10.0 0.0 2.0 100 1250.0 658.0\n"
              "2 10.0 0.0 2.0 100 1250.0 658.0\n1 0.0\n2 0.0\n3.0E7 0.283\n5\n";
        for (int j = 0; j < 5; ++j) {
            const double rpm = 5000.0 * j, q = Q1 * rpm * kPi / 30.0;
            char line[200];
            std::snprintf(line, sizeof line, "1.0E5 %.4f %.4f 1.0E5 50.0 0.0 0.0 50.0\n", q, -q);
            s += std::to_string(int(rpm)) + "\n" + line + line;  // both bearings
        }
        return s + "1 0.0 0.0\n2 0.0 0.0\n";
    }
};

// Three stations on two bearings, a disc with the unbalance at station 2, a
// pedestal under the second bearing; isotropic, so every response is a
// circular forward whirl.
const char* const kUnbalanceModel =
    "UNBALANCE TEST ROTOR\n3 1 2 1 0\n1 0\n2.0 0.0 10.0 0.7854 8.89\n2.0 0.0 10.0 0.7854 8.89\n"
    "2 8.0 0.0 1.0 20.0 160.0 80.0\n1 0.0\n3 0.0\n3 10.0\n2.0E5 2.0E5 20.0 20.0\n3.0E7 0.283\n1\n0.0\n"
    "1.0E5 0.0 0.0 1.0E5 30.0 0.0 0.0 30.0\n1.0E5 0.0 0.0 1.0E5 30.0 0.0 0.0 30.0\n1 0.0 0.0\n2 0.1 0.0\n3 0.0 0.0\n";

struct PlotRun {
    int status = -1;
    S out, err;
};

// Runs korvo-plot in the folder; env is put before the command.
PlotRun RunPlot(const fs::path& dir, const Lines& args, const S& env = "") {
    S cmd = "cd '" + dir.string() + "' && " + env + " '" KORVO_PLOT_EXE "'";
    for (const auto& a : args) cmd += " '" + a + "'";
    cmd += " > .plot.out 2> .plot.err";
    const int rc = std::system(cmd.c_str());
    PlotRun r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    Session peek;  // reads the two files, then forgets the folder
    peek.dir = dir;
    r.out = peek.file(".plot.out");
    r.err = peek.file(".plot.err");
    peek.dir.clear();
    fs::remove(dir / ".plot.out");
    fs::remove(dir / ".plot.err");
    return r;
}

bool HaveGnuplot() {
    std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (S d; std::getline(path, d, ':');)
        if (!d.empty() && access((d + "/gnuplot").c_str(), X_OK) == 0) return true;
    return false;
}
#define NEED_GNUPLOT() \
    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot not found: install the Debian package gnuplot-nox"

// The texts of an SVG picture.
Lines SvgTexts(const S& svg) {
    Lines t;
    for (size_t b = svg.find("<text>"); b != S::npos; b = svg.find("<text>", b + 1)) {
        const size_t e = svg.find("</text>", b);
        if (e == S::npos) break;
        t.push_back(svg.substr(b + 6, e - b - 6));
    }
    return t;
}

// The numbers of the texts "<prefix>N RPM".
std::vector<double> RpmLabels(const S& svg, const S& prefix) {
    std::vector<double> v;
    for (const S& t : SvgTexts(svg))
        if (t.rfind(prefix, 0) == 0 && t.size() > prefix.size() + 4 && t.substr(t.size() - 4) == " RPM" &&
            std::isdigit(static_cast<unsigned char>(t[prefix.size()])))
            v.push_back(std::stod(t.substr(prefix.size())));
    return v;
}

bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TEST(PlotLayout, RecordsOfWrappedAndUnwrappedFiles) {
    const float x = 0.5f;
    struct Case {
        std::vector<int> counts;
        std::vector<float> first;
        int forced, values;
        const char* refusal;
    } cases[] = {
        {{4, 1, 4, 1, 4, 1}, {1000, x, 1250, x, 1500, x}, 0, 5, ""},          // wrapped: a short line ends a record
        {{4, 4, 1, 4, 4, 1}, {0, x, x, 5, x, x}, 0, 9, ""},                   // two full lines and one
        {{5, 5, 5}, {1, 2, 3}, 0, 5, ""},                                     // one record per line
        {{3, 3, 3}, {3, 2, 1}, 0, 3, ""},                                     // a falling sweep
        {{4, 4, 4, 4}, {1, 2, 3, 4}, 0, 4, ""},                               // fours: one per line rises
        {{4, 4, 4, 4, 4, 4}, {1000, x, 1250, 0.2f, 1500, 0.9f}, 0, 8, ""},   // fours: pairs of lines rise
        {{4, 4}, {1, 2}, 0, 0, "ambiguous layout"},                           // 4 or 8 values: cannot tell
        {{4, 4, 4, 4}, {1, 2, 3, 4}, 8, 8, ""},                               // --values decides
        {{4, 1, 4, 2}, {1, x, 2, x}, 0, 0, "expected records of 5 values"},  // inconsistent wrap
        {{4, 1, 4}, {1, x, 2}, 0, 0, "cut short"},
        {{5, 6}, {1, 2}, 0, 0, "same number of values on every line"},
        {{2, 2, 2}, {1, 3, 2}, 0, 0, "rises from record to record"},
        {{4, 1}, {1, x}, 4, 0, "(--values 4)"},
        {{4, 4, 4}, {3, 1, 2}, 0, 12, ""},                                    // a single record
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.counts));
        try {
            EXPECT_EQ(InferValuesPerRecord(c.counts, c.first, c.forced), c.values);
            EXPECT_STREQ(c.refusal, "");
        } catch (const PlotError& e) {
            EXPECT_NE(S(e.what()).find(c.refusal), S::npos) << e.what();
            EXPECT_NE(*c.refusal, '\0') << e.what();
        }
    }
}

TEST(PlotDerived, CrossingsOnsetDirectionAndPeaks) {
    // Two whirl curves, one crossing 1X at 3000 RPM (f = 1500 + speed/2)
    // and one constant at 9000 RPM; the first turns unstable where its real
    // part -1 + speed/5000 reaches zero, at 5000 RPM.
    const double toRad = kPi / 30.0;
    std::vector<EigenStep> steps;
    for (double s = 1000; s <= 10000; s += 500)
        steps.push_back({s, {-1.0 + s / 5000.0, -0.5}, {(1500 + s / 2) * toRad, 9000 * toRad}});
    std::swap(steps[6].re[0], steps[6].re[1]);  // columns need not follow modes
    std::swap(steps[6].im[0], steps[6].im[1]);
    const auto crossings = SynchronousCrossings(steps);
    ASSERT_EQ(crossings.size(), 2u);
    EXPECT_NEAR(crossings[0].speed, 3000.0, 1e-6);
    EXPECT_NEAR(crossings[1].speed, 9000.0, 1e-6);
    double onset = 0;
    ASSERT_TRUE(OnsetOfInstability(steps, onset));
    EXPECT_NEAR(onset, 5000.0, 1e-6);
    EXPECT_EQ(FollowModes(steps).size(), 2u);  // the swapped step is followed through

    const std::vector<float> c{1, 0, -1, 0}, s{0, 1, 0, -1}, line{0, 1, 2, 3};
    EXPECT_GT(SweptArea(c, s), 0.0);  // x to y: forward
    EXPECT_LT(SweptArea(s, c), 0.0);
    EXPECT_EQ(SweptArea(line, line), 0.0);
    const std::vector<double> response{1, 2, 8, 3, 2.5, 2.6, 2.4, 5, 1, 9};
    EXPECT_EQ(Peaks(response, 3), (std::vector<int>{2, 7}));  // 2.6 stands too low; the end is no peak
}

// One scripted session writes every kind of file: stability option 2 with
// the bearing coefficients on the cross-coupled rotor, unbalance amplitudes
// (stations and pedestal), phases, an orbit and the animation file on the
// unbalance rotor, its mode shapes with their report, and fitted curves.
class PlotSession : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SessionSetup setup;
        setup.files = {{"rotor.dat", CrossCoupledRotor::Model()},
                       {"unb.dat", kUnbalanceModel},
                       {"fitdata.txt", "1 10 5\n2 12 4\n4 11 6\n7 15 5\n"},
                       {"empty.txt", ""}, {"bad.txt", "1 2\n3 x\n"}, {"gaps.txt", "1 2\n2 nan\n3 4\n"}};
        const Lines in = {
            "4", "1", "1", "rotor.dat", "6", "4", "5", "2", "4", "re.txt", "im.txt", "1.0", "1", "Y", "k1.txt",
            "c1.txt", "k2.txt", "c2.txt", "1000", "15000", "250", "1", "stab.out", "",                      //
            "5", "1", "1", "unb.dat", "5", "3", "500", "30000", "500", "Y", "Y", "pamp.txt", "1", "1", "amp.txt",
            "2", "1",                                                                                      //
            "5", "5", "7", "500", "30000", "500", "N", "1", "1", "ph.txt", "2", "1",                       //
            "5", "5", "9", "3000", "4", "N", "1", "orb.txt", "2", "1",                                     //
            "5", "5", "10", "1000", "3000", "1000", "N", "anim.txt", "1",                                  //
            "1", "", "5", "Y", "Y", "2", "Y", "modes.txt", "1", "modes.out", "",                           //
            "7", "1", "fitdata.txt", "3", "fit.txt", "N", "20", "8"};
        S script;
        for (const S& a : in) script += a + "\n";
        session = new Session(RunKorvo(script, setup));
    }
    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
    }
    static Session* session;
};
Session* PlotSession::session = nullptr;

TEST_F(PlotSession, EveryKindOfFileDrawnAsPngAndSvg) {
    ASSERT_EQ(session->status, 0) << session->err;
    NEED_GNUPLOT();
    // Expected: data series in the SVG (gnuplot groups), texts that mark
    // points, rows of the CSV table (one per record).
    using Mark = bool (*)(const S&);
    struct Case {
        Lines args;
        int series;
        Mark mark;
        int marks, rows;
    } cases[] = {
        {{"rotor", "unb.dat"}, 6,  // shaft, discs, pedestals, bearings, unbalance, axis; B1 B2 D1 P1
         [](const S& t) { return t.size() > 1 && S("BDP").find(t[0]) != S::npos && Digit(t[1]); }, 4, 3},
        {{"campbell", "re.txt", "im.txt"}, -1, [](const S& t) { return t.rfind("onset ", 0) == 0; }, 1, 57},
        {{"modes", "modes.txt", "--report", "modes.out"}, 3,
         [](const S& t) { return t.rfind("mode ", 0) == 0 && t.find(" RPM") != S::npos; }, 2, 3},
        {{"response", "amp.txt", "pamp.txt", "--phases", "ph.txt", "--model", "unb.dat"}, 7,
         [](const S& t) { return t.size() > 5 && t.substr(t.size() - 5) == " mils"; }, -1, 60},
        {{"orbit", "orb.txt"}, 4,  // orbit, arrow, marks, centre; marks 0 to 3
         [](const S& t) { return t.size() == 1 && t[0] >= '0' && t[0] <= '3'; }, 4, 100},
        {{"coefficients", "k1.txt", "c1.txt"}, 8, nullptr, 0, 57},
        {{"animation", "anim.txt", "--speed", "2000"}, 5,  // axis, shaft, 3 orbits
         [](const S& t) { return t.find(" - 2000 RPM") != S::npos; }, 1, 3},
        {{"fit", "fit.txt", "--data", "fitdata.txt"}, 4, nullptr, 0, 21},
        {{"fit", "gaps.txt"}, 1, nullptr, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        Lines png = c.args, svg = c.args;
        png.insert(png.end(), {"-o", "pic.png", "--csv", "pic.csv"});
        svg.insert(svg.end(), {"-o", "pic.svg"});
        const PlotRun p = RunPlot(session->dir, png), v = RunPlot(session->dir, svg);
        ASSERT_EQ(p.status, 0) << p.err;
        ASSERT_EQ(v.status, 0) << v.err;
        const S image = session->file("pic.png"), text = session->file("pic.svg");
        ASSERT_GT(image.size(), 24u);
        EXPECT_EQ(image.substr(0, 8), "\x89PNG\r\n\x1a\n");
        const auto u32 = [&](size_t at) {
            return (unsigned char)image[at] << 24 | (unsigned char)image[at + 1] << 16 |
                   (unsigned char)image[at + 2] << 8 | (unsigned char)image[at + 3];
        };
        EXPECT_EQ(u32(16), 800u);
        EXPECT_EQ(u32(20), 500u);
        if (c.series >= 0) {
            EXPECT_EQ(CountOccurrences(text, "<g id=\"gnuplot_plot_"), c.series);
        }
        // Distinct marking texts (a boxed label is written twice).
        std::set<S> found;
        for (const S& t : SvgTexts(text))
            if (c.mark && c.mark(t)) found.insert(t);
        if (c.marks >= 0) {
            EXPECT_EQ(static_cast<int>(found.size()), c.marks);
        } else {
            EXPECT_FALSE(found.empty());
        }
        const Lines csv = SplitLines(session->file("pic.csv"));
        ASSERT_EQ(static_cast<int>(csv.size()), c.rows + 1);
        EXPECT_NE(csv[0].find('['), S::npos) << csv[0];  // names with units
        if (c.args[1] == "gaps.txt") {
            EXPECT_NE(p.err.find("1 value is not a finite number"), S::npos) << p.err;
        }
    }
    // A title is drawn as text: a backquoted command in it is never run.
    const S model = session->file("unb.dat");
    std::ofstream(session->dir / "quoted.dat") << "`touch ran` it's \"q\"" << model.substr(model.find('\n'));
    ASSERT_EQ(RunPlot(session->dir, {"rotor", "quoted.dat", "-o", "q.svg"}).status, 0);
    EXPECT_FALSE(session->exists("ran"));
    EXPECT_NE(session->file("q.svg").find("`touch ran` it's"), S::npos);
}

TEST_F(PlotSession, CriticalSpeedOnsetAndWhirlAgainstIndependentValues) {
    ASSERT_EQ(session->status, 0) << session->err;
    NEED_GNUPLOT();
    using R = CrossCoupledRotor;
    const double step = 250.0, critical = R::WhirlRad() * 30.0 / kPi;
    const double reported = ValueAfter(session->file("stab.out"), " Threshold Speed = ");
    ASSERT_NEAR(reported, R::ThresholdRpm(), step);
    const PlotRun c = RunPlot(session->dir, {"campbell", "re.txt", "im.txt", "-o", "c.svg"});
    ASSERT_EQ(c.status, 0) << c.err;
    const S svg = session->file("c.svg");
    const auto crossings = RpmLabels(svg, "");
    EXPECT_TRUE(std::any_of(crossings.begin(), crossings.end(), [&](double x) {
        return std::fabs(x - critical) <= step;
    })) << testing::PrintToString(crossings);
    const auto onset = RpmLabels(svg, "onset ");
    ASSERT_FALSE(onset.empty());
    EXPECT_NEAR(onset[0], reported, step);
    // The isotropic unbalance rotor whirls forward.
    const PlotRun o = RunPlot(session->dir, {"orbit", "orb.txt", "-o", "o.svg"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(session->file("o.svg").find("orb.txt: forward whirl"), S::npos);
}

TEST_F(PlotSession, RefusalsLeaveNoFileBehind) {
    ASSERT_EQ(session->status, 0) << session->err;
    struct Case {
        Lines args;
        const char* env;
        const char* message;
    } cases[] = {
        {{"campbell", "missing.txt", "im.txt"}, "", "missing.txt: no such file"},
        {{"fit", "empty.txt"}, "", "empty.txt: the file is empty"},
        {{"campbell", "modes.out", "im.txt"}, "", "modes.out, line 2: not a list of numbers"},
        {{"fit", "bad.txt"}, "", "bad.txt, line 2: not a list of numbers"},
        {{"coefficients", "modes.txt", "k1.txt"}, "", "expected records of the speed and four coefficients"},
        {{"campbell", "re.txt", "k1.txt"}, "", "does not match re.txt"},
        {{"rotor", "re.txt"}, "", "re.txt: not a readable model file"},
        {{"fit", "fit.txt", "-o", "fit.jpg"}, "", "unknown picture format"},
        {{"fit", "fit.txt", "-o", "nowhere/fit.png"}, "", "nowhere/fit.png: cannot be written"},
        {{"fit", "fit.txt", "--csv", "fit.csv"}, "KORVO_GNUPLOT=/nonexistent", "install the Debian package gnuplot-nox"},
        {{"orbit"}, "", "orbit: expected 1 or more files, not 0"},
        {{"fit", "fit.txt", "--values", "2"}, "", "expected records of 2 values"},
    };
    auto listing = [&] {
        Lines names;
        for (const auto& e : fs::directory_iterator(session->dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const Lines before = listing();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.message);
        const PlotRun r = RunPlot(session->dir, c.args, c.env);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), S::npos) << r.err;
        EXPECT_EQ(listing(), before);
    }
}

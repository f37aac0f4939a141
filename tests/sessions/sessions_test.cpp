// Whole sessions of the real program compared byte for byte with the expected
// files under tests/expected/<session>/: the console, and the report, result
// and model files each session writes (date and time masked). The expected
// files were written from the format texts of the dialogues, the listing,
// the model file, the report and the result files, and checked line by line;
// the numbers in them are checked against independent values by the
// Analyses and Limits tests.
#include <gtest/gtest.h>

#include <ctime>
#include <sstream>

#include "tests/support/session.h"

namespace {

std::string Rep(int n, const std::string& answers) {
    std::string s;
    for (int i = 0; i < n; ++i) s += answers;
    return s;
}

// Files named f<first>..f<last>, one answer each.
std::string Names(const char* f, int first, int last) {
    std::string s;
    for (int k = first; k <= last; ++k) s.append(f).append(std::to_string(k)).append("|");
    return s;
}

// Model files refused on reading, with a valid one of 99 stations between
// them; the reasons are in the console.
std::map<std::string, std::string> RefusedModels() {
    auto generated = [](int nsta, int nped) {
        std::ostringstream m;
        m << "GENERATED\n" << nsta << " 0 2 " << nped << " 0\n1 0\n" << Rep(nsta - 1, "1 0 1 0 0\n") << "1 0\n" << nsta << " 0\n";
        for (int i = 0; i < nped; ++i) m << nsta << " 10\n1.0E5 1.0E5 1 1\n";
        m << "3.0E7 0.283\n1\n0\n1.0E5 0 0 1.0E5 1 0 0 1\n1.0E5 0 0 1.0E5 1 0 0 1\n";
        for (int i = 1; i <= nsta; ++i) m << i << " 0 0\n";
        return m.str();
    };
    const std::string tail = "3.0E7 0.283\n1\n0\n1.0E5 0 0 1.0E5 1 0 0 1\n1.0E5 0 0 1.0E5 1 0 0 1\n";
    const std::string units = "1 0\n1 0 1 0 0\n1 0 1 0 0\n";
    return {{"bad0.dat", generated(99, 1)},  // 2 x 99 + 1 > 198
            {"bad1.dat", "X\n3 100 2 0 0\n"},
            {"bad2.dat", "X\n1 0 0 0 0\n"},
            {"bad3.dat", "X\n3 0 2 1 0\n" + units + "1 0\n3 0\n2 5\n1 1 1 1\n" + tail},
            {"bad4.dat", "X\n3 0 2 0 0\n" + units + "3 0\n1 0\n" + tail},
            {"bad5.dat", "X\n3 1 2 0 0\n" + units + "4 1 0 1 1 1 1\n1 0\n3 0\n" + tail},
            {"bad6.dat", "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n100\n"},
            {"bad7.dat", "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n2\n2000\n1 0 0 1 1 0 0 1\n1000\n1 0 0 1 1 0 0 1\n"},
            // Values that are not finite numbers, named by their record.
            {"bad8.dat", "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\nnan 0.283\n1\n0\n1 0 0 1 1 0 0 1\n1 0 0\n2 0 0\n"},
            {"bad9.dat", "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n1\n0\n1 0 0 1 1 -Inf 0 1\n1 0 0\n2 0 0\n"},
            {"bad10.dat", "X\n2 0 1 0 0\n1 0\n1 0 1 0 0\n1 0\n3.0E7 0.283\n1\n0\n1 0 0 1 1 0 0 1\n1 0 0\n2 NaN 0\n"},
            {"big.dat", generated(99, 0)},
            {"bare.dat", "BARE SHAFT\n2 0 0 0 0\n1 0\n1.0 0.0 5.0 0.0 1.0\n3.0E7 0.283\n1\n0.0\n1 0 0\n2 0 0\njunk 1\njunk 2\n"},
            {"free.dat", "FREE ROTOR\n5 0 0 0 0\n1 0\n" + Rep(4, "2 0 10 0 0\n") + "3e7 .283\n1\n0\n1 0 0\n2 0 0\n3 0 0\n4 0 0\n5 0 0\n"}};
}

// The answers of an analysis dialog run from the main menu: main option
// (1 has a pause), the model read from its file, data menu 5, the answers.
std::string Run(int mainopt, const std::string& model, const std::string& answers) {
    return std::to_string(mainopt) + (mainopt == 1 ? "||" : "|") + "1|1|" + model + "|5|" + answers;
}

struct Golden {
    std::string name;
    std::vector<std::string> copies;           // from the source tree (data/, examples/)
    std::map<std::string, std::string> files;  // generated
    std::string script;                        // '|' ends an answer; "@path": an example script
    std::vector<std::string> compared;         // files compared besides the console
};

std::vector<Golden> Sessions() {
    const std::string orbit97 = "9|3000|-1|102|4|100|" + Names("o", 1, 97) + Rep(97, "2|") + "1|";
    std::string unbalance;  // plot options 1 to 8 on stations 2 and 3 and both pedestals
    for (int opt = 1; opt <= 8; ++opt) {
        const std::string n = std::to_string(opt), plane = opt == 4 || opt == 8 ? "2|" : "";
        unbalance += Run(5, "unbalance.dat", n + "|1000|3000|500|Y|Y|ped" + n + "|" + plane + "2|2|sta" + n + "|2|" +
                                                 (plane.empty() ? "" : "1|") + "3|" + plane + "1|");
    }
    std::vector<std::string> unbalanceFiles;
    for (int opt = 1; opt <= 8; ++opt) unbalanceFiles.push_back("sta" + std::to_string(opt)), unbalanceFiles.push_back("ped" + std::to_string(opt));
    for (const char* f : {"orb", "po1", "po2", "anim", "rep11"}) unbalanceFiles.push_back(f);
    const std::string hundred = [] {
        std::string s;
        for (int r = 1; r <= 120; ++r) s += std::to_string(r) + " " + std::to_string(3 * r) + "\n";
        return s;
    }();
    return {
        // Menus, refusals without a model, Check Directory, the not-found
        // dialog, active control and the exit.
        {"menus", {"data/tiny.dat"}, {}, "0|9|6|1|4|1|3|echo listed|3||4|2||3||4||5||6|1||1|1|nofile.dat||n|1|1|nofile.dat|| y|"
                                         "1|1|nofile.dat||yes|tiny.dat|6|6|5|8", {}},
        // Keyboard entry of a whole model under main menu 5: derived weights,
        // a pedestal, an added weight, unbalance; a run refused until the
        // model is saved; its listing and its file.
        {"keyboard", {}, {}, "5|1|2|Small rotor|3|1|2|1|1|3e7 0.283|2 0 5 0 0|2 1 4 0 -1|2 10 0 1 0 0 0|1 0.5|3 0.5|3 10|"
                             "1e6 1e6 10 10|2 1.5|n|1e5 0 10 0|0 1e5 0 10|1e5 0 10 0|0 1e5 0 10|0 0|0.5 90|0.25 -45|5||2|" +
                             Rep(10, "|") + "3|small.dat|6|8", {"small.dat"}},
        // The size limit (199 refused, 198 taken), counts and stations out of
        // range asked again, the pedestal rule, speeds that do not ascend,
        // rows with values that are not finite numbers.
        {"keyboard_limits", {}, {}, "2|1|2|Too big|60|0|79|79||Also too big|99|0|1|1||Just fits|1|100|60|100|2|-1|78|100|78|3|2|"
                                    "100|1|nan 0.283|3e7 0.283|2 0 inf 0 1|" + Rep(58, "2 0 1 0 1|") + "2 0 1 0 0|60 6 0 1 5 1 1|20 6 0 1 5 1 1|"
                                    "20 8 0 1 9 2 2|40 8 0 1 0 0 0|1 0.5|70 0.5|1 0.5|30 0.5|60 0.5|1 10|45 10||1 10|60 12|"
                                    "1e6 1e6 1 1|2e6 2e6 2 2|0 2|30 2|y|0|100|2|1000|" + Rep(3, "1e5 0 1 0|0 1e5 0 1|") +
                                    "500|2000|" + Rep(3, "3e5 0 1 0|0 4e5 0 1|") + "3|checks.dat|6|8", {"checks.dat"}},
        // Model files: listings in both unit systems, the saved layout, a
        // hand-edited file, the overwrite of the file just read, a name that
        // cannot be written (a folder) answered Y and then another name,
        // refusals, a free rotor's report.
        {"model_files", {"examples/pedestal.dat", "examples/stability.dat", "data/hand.dat", "data/mtable.dat"}, RefusedModels(),
         "5|1|1|bad0.dat||1|1|pedestal.dat|2|" + Rep(10, "|") + "3|ped_s.dat|1|1|stability.dat|2|" + Rep(7, "|") +
             "1|1|hand.dat|3|two.dat|1|1|two.dat|3|two.dat|x|y|6|1||1|1|mtable.dat|2|" + Rep(8, "|") +
             "1|1|bare.dat|2|||3||bare.dat|n|bare_s.dat|3|bare.dat|y|1|3|mkdir ro.dat|4|3|ro.dat|Y|bare_r.dat|1|1|big.dat|" + [] {
                 std::string s;
                 for (int k = 1; k <= 10; ++k) s += "1|1|bad" + std::to_string(k) + ".dat||";
                 return s;
             }() + "1|1|free.dat|5|N|N|1|free.out||1||1|1|pedestal.dat|1|3|rm pedestal.dat|4|5|N|N|1|ped.out||6||n|5||6|8",
         {"ped_s.dat", "two.dat", "bare.dat", "bare_s.dat", "bare_r.dat", "free.out"}},
        // The editor: every option that changes counts and locations, the
        // pedestal rule, material and title, the refused run and the
        // question at the exit.
        {"editor", {"data/editor.dat"}, {}, "1||1|1|editor.dat|4|2|y|3|8|4|2||3 12|13|3.1e7 0.3|1|x|y|Edited rotor|5|0|4|1||1 10|"
                                            "7|2|1|5|2|7|2||1 10|3 11|2|y|99|3|3|4|2|1|3|16|5||6|8|x|yes|out.dat|6|8", {"out.dat"}},
        // Station-count cascades: new counts under main menu 5 (the
        // unbalance reminder), locations kept, stations shrunk under three
        // bearings and an added weight, pedestals removed; leaving unsaved.
        {"editor_cascade", {"data/editor.dat"}, {{"shrink.dat", "Shrink rotor\n3 1 3 1 1\n1 0\n2 0 5 0 4.4\n2 0 5 0 4.4\n2 10 0 1 22 270 140\n1 .5\n"
                                                         "2 .5\n3 .5\n3 10\n1e6 1e6 10 10\n3 2.5\n3e7 .283\n1\n0\n" + Rep(3, "1e5 0 0 1e5 10 0 0 10\n") + "1 0 0\n2 0 0\n3 0 0\n"}},
         "5|1|1|editor.dat|4|2|y|5|" + Rep(4, "2 0 3 0 1|") + "y|2|2 8 0 1 0 0 0|4 8 0 1 0 0 0|y|3|1 .5|3 .5|5 .5|n|" +
             Rep(3, "2e5 0 5 0|0 2e5 0 5|") + "y|2|3 10|5 10|1e6 1e6 1 1|2e6 2e6 2 2||16|3|c.dat|6|1||1|1|editor.dat|4|2|y|4|" +
             Rep(3, "2 0 4 0 0|") + "x|n|3|n|1|5|4|n|4|16|3|b.dat|1|1|shrink.dat|4|2|y|2|2 0 10 0 1|n|2|n|y|2|1 .5|2 .5|n|"
             "1e5 0 1 0|0 1e5 0 1|2e5 0 1 0|0 2e5 0 1|n|2|1|1 2.5|16|3|e.dat|1|1|editor.dat|4|2|y|4|" + Rep(3, "2 0 4 0 0|") +
             "n|3|n|1|4|y|0|n|3e5 0 1 0|0 3e5 0 1|3e5 0 1 0|0 3e5 0 1|3|b2.dat|4|16|6|8|No way",
         {"c.dat", "b.dat", "e.dat", "b2.dat"}},
        // What each analysis dialog asks, refuses and asks again (answers
        // that are not finite numbers, a name longer than 14 characters).
        {"dialogs", {"data/speeds.dat", "data/tiny.dat", "data/unbalance.dat"},
         {{"re.dat", Rep(50, "an older file\n")},  // a mass matrix with rows of zeros: the massless end stations
          {"sing.dat", "SINGULAR MASS\n3 1 2 0 0\n1 0\n2 0 10 0 0\n2 0 10 0 0\n2 10 0 1 100 2000 1000\n1 0\n3 0\n3e7 0\n1\n0\n" +
                           Rep(2, "1e5 0 0 1e5 50 0 0 50\n") + "1 0 0\n2 0 0\n3 0 0\n"}},
         Run(1, "speeds.dat", "x|Y|Y|0|999|3|N|2|m1.dat|0|1||m2.dat|5|1|3000|modes.out||") +
             Run(2, "tiny.dat", "2|damped.out||") + Run(2, "sing.dat", "1|sing.out|" + Rep(8, "|") + "|") + Run(1, "sing.dat", "N|N|1|sing1.out||") +
             Run(4, "speeds.dat", "3|NaN|1000|500|9000|0|-5|inf|10|Y|1|N|2|1|stab.out||") +
             Run(4, "speeds.dat", "1|11|0|3|re.dat|Y|re.dat|Y|im.dat|1|x|3|Y|k1.dat|c1.dat|k2.dat|c2.dat|1000|5000|0|500|1|stab1.out||") +
             Run(4, "tiny.dat", "|6|") + Run(5, "speeds.dat", "3|1000|5000|1000|1|N|-1|2|0|100|2|u1.dat|0|2|4|3|1|") +
             Run(5, "speeds.dat", "11|1000|5000|1000|1|N|1|unb.out||") + Run(5, "speeds.dat", orbit97) +
             Run(5, "speeds.dat", "9|3000|0|3|a.dat|b.dat|orbit_station_3.dat|1|2|3|1|") +
             Run(5, "unbalance.dat", "4|1000|5000|1000|x|Y|N|p1.dat|3|1||p2.dat|2|1|1|s1.dat|1|0|2|1|") +
             Run(5, "speeds.dat", "10|1000|5000|1000|1|N|anim.dat|1|") + Run(5, "tiny.dat", "3||16|6|8|N"),
         {"m1.dat", "m2.dat", "damped.out", "re.dat", "k2.dat", "u1.dat", "a.dat", "s1.dat", "p2.dat"}},
        // The example sessions: a report of every eigenvalue analysis, the
        // threshold search, the unbalance files and summary.
        {"undamped_simple", {"examples/simple.dat"}, {}, "@examples/undamped_simple.in", {"simple_m12.txt", "simple_m34.txt", "simple_1.out"}},
        {"damped_metric", {"examples/metric.dat"}, {}, "@examples/damped_metric.in", {"metric_2.out"}},
        {"both_pedestal", {"examples/pedestal.dat"}, {}, "@examples/both_pedestal.in", {"pedestal_3.out"}},
        {"both_stability", {"examples/stability.dat"}, {}, "@examples/both_stability.in", {"stab_modes.txt", "stabil_3.out"}},
        {"stability_threshold", {"examples/stability.dat"}, {}, "@examples/stability_threshold.in", {"stab_real.txt", "stab_imag.txt", "stabil_4.out"}},
        {"unbalance_simple", {"examples/simple.dat"}, {}, "@examples/unbalance_simple.in", {"unb_amp.txt", "unb_orbit.txt", "unb_11.out"}},
        // Stability options 1 and 3, a stable range, a range unstable from its
        // lowest speed; the eigenvalue and bearing-coefficient files.
        {"stability_options", {"examples/stability.dat"}, {{"rep1", Rep(400, "an older report\n")}},
         Run(4, "stability.dat", "1|3|re|im|1|Y|k1|c1|k2|c2|1000|11000|500|1|rep1|Y||") + Run(4, "stability.dat", "2|2|re2|im2|1|1|N|1000|5000|500|1|rep2||") +
             Run(4, "stability.dat", "2|2|re3|im3|1|1|N|12000|15000|500|1|rep3||") + Run(4, "stability.dat", "3|5000|15000|10|N|1|1|rep4||") + "8",
         {"re", "im", "k1", "c2", "rep1", "rep2", "rep3", "rep4"}},
        // The unbalance result files of every plot option, pedestals included,
        // and the summary with its pedestal tables.
        {"unbalance_files", {"data/unbalance.dat"}, {},
         unbalance + Run(5, "unbalance.dat", "9|3000|7|Y|po1|po2|1|orb|2|1|") + Run(5, "unbalance.dat", "10|1000|3000|500|N|anim|1|") +
             Run(5, "unbalance.dat", "11|-1000|1000|200|3|rep11||") + "8",
         unbalanceFiles},
        // The curve-fitting tool: fits of one to seven columns, more than 99
        // rows, and the files it refuses.
        {"curve_fit", {}, {{"d0", "2.0 1.0\n6.0 -3.0\n"}, {"d1", "0.0\n1.0\n3.0\n"},
                           {"d2", "0 1 2 3 4 777 888\n1 2 4 6 8 777 888\n2.5 3.5 7 10.5 14 777 888\n4 5 10 15 20 777 888\n"},
                           {"d3", "-2, 6\n-0.5, 2.625\n0.25, 1.78125\n1, 1.5\n3, 3.5\n"}, {"d4", hundred},
                           {"r0", "1.0 2.0\n2.0 abc\n3.0 4.0\n"}, {"r1", "1.0 2.0\n2.0 3.0\n3.0 4.0\n"}, {"r2", "1.0 2.0\n"},
                           {"r3", "3.0 2.0\n2.0 3.0\n"}, {"r4", "1.0 2.0\nx 2.0\n"}, {"r5", ""},
                           {"r6", "1.0 2.0\n2.0 3.0\n2.0 4.0\n"}},
         "7|1|d0|2|f0|N|2|1|8|7|1|d1|1|f1|N|6|7|3|d2|7|f2|N|8|7|2|d3|2|f3|Y|20|7|1|d4|2|f4|N|196|7|1|r0|2|g0||7|1|r1|3|g1||"
         "7|1|r2|2|g2||7|1|r3|2|g3||7|1|r4|2|g4||7|1|r5|2|g5||7|1|r6|2|g6||8",
         {"f0", "f1", "f2", "f3", "f4"}},
    };
}

TEST(Sessions, WholeSessionsAsExpected) {
    for (const Golden& g : Sessions()) {
        SessionSetup setup;
        setup.files = g.files;
        for (const std::string& c : g.copies) setup.files[c.substr(c.find('/') + 1)] = SourceFile(c.rfind("examples/", 0) == 0 ? c : "tests/" + c);
        const std::string script = g.script[0] == '@' ? SourceFile(g.script.substr(1)) : Script(g.script);
        const Session s = RunKorvo(script, setup);
        EXPECT_EQ(s.status, 0) << g.name << "\n" << s.err;
        EXPECT_EQ(s.err, "") << g.name;
        ExpectSameAsExpected(g.name + "/console.txt", s.out);
        for (const std::string& f : g.compared) ExpectSameAsExpected(g.name + "/" + f, s.file(f));
        if (g.name != "keyboard") continue;
        // The weights and moments typed as 0: the element (2 x 5 in), the disc
        // (10 x 1 in) and its polar and transverse moments from that weight.
        const std::vector<double> v = Numbers(s.file("small.dat"));
        const double pi = 3.14159265358979, w = pi / 4 * 100 * 1 * 0.283;
        ASSERT_GT(v.size(), 23u);
        for (auto [got, want] : {std::pair{v[11], pi / 4 * 4 * 5 * 0.283}, {v[21], w}, {v[22], 100 * w / 8}, {v[23], 304 * w / 48}})
            EXPECT_NEAR(got, want, 2e-6 * want);
    }
}

// The banner's date and time are the local date and time of the run, with a
// blank (not a zero) before a single digit.
TEST(Sessions, ReportBannerCarriesTheDateAndTime) {
    SessionSetup setup;
    setup.files["tiny.dat"] = SourceFile("tests/data/tiny.dat");
    const std::time_t t0 = std::time(nullptr);
    const Session s = RunKorvo(Script("2|1|1|tiny.dat|5|1|r.out||8"), setup);
    const std::time_t t1 = std::time(nullptr);
    const std::vector<std::string> lines = SplitLines(s.file("r.out"));
    ASSERT_GT(lines.size(), 12u);
    bool date = false, time = false;
    for (std::time_t t = t0; t <= t1; ++t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        char d[80], h[80];
        std::snprintf(d, sizeof d, "%45sRUN ON: %2d-%2d-%d", "", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
        std::snprintf(h, sizeof h, "%49sAT: %2d:%2d:%2d", "", tm.tm_hour, tm.tm_min, tm.tm_sec);
        date = date || lines[10] == d;
        time = time || lines[11] == h;
    }
    EXPECT_TRUE(date) << lines[10];
    EXPECT_TRUE(time) << lines[11];
}

// Runs that end with the run-time error report (exit status 1): letters or
// the end of the input where a number is read, a short or unreadable model
// file, writes that fail on a full disk, which leave the file that was to be
// replaced as it was and no other file beside it, and a console whose reader
// goes away (260 KB of menus, four times what a pipe holds).
TEST(Sessions, RunTimeErrorsEndTheRun) {
    const std::string old = "an earlier file\r\n";
    const struct {
        std::string script;
        std::map<std::string, std::string> files;
        long limit;
        std::string report;  // "X(" stands for WRITE( or CLOSE(
        long stdoutBytes = -1;
    } cases[] = {
        {"abc", {}, 0, "F6101: READ(CON)\r\n- invalid integer"},
        {"1.5", {}, 0, "F6101: READ(CON)\r\n- invalid integer"},
        {"", {}, 0, "F6501: READ(CON)\r\n- end of file"},
        {"2|1|", {}, 0, "F6501: READ(CON)\r\n- end of file"},
        {"6|1|1|short.dat", {{"short.dat", "BROKEN\n2 0 2 0 0\n1 0\n1 0 10 0 0\n1 0\n"}}, 0, "F6501: READ(short.dat)\r\n- end of file"},
        {"6|1|1|letters.dat", {{"letters.dat", "BROKEN\n2 0 2 0 0\n1 0\n1 0 ten 0 0\n"}}, 0, "F6103: READ(letters.dat)\r\n- invalid real"},
        {"2|1|1|tiny.dat|3|old.dat|Y|6|8", {{"old.dat", old}}, 200, "F6601: X(old.dat)\r\n- write error"},
        {"2|1|1|tiny.dat|5|1|old.dat|Y||8", {{"old.dat", old}}, 200, "F6601: X(old.dat)\r\n- write error"},
        {Rep(300, "2|6|") + "8", {}, 0, "F6601: WRITE(CON)\r\n- write error", 100},
    };
    for (const auto& c : cases) {
        SessionSetup setup;
        setup.files = c.files;
        setup.files["tiny.dat"] = SourceFile("tests/data/tiny.dat");
        setup.fileSizeLimit = c.limit;
        setup.stdoutBytes = c.stdoutBytes;
        const Session s = RunKorvo(c.script.empty() ? "" : Script(c.script), setup);
        EXPECT_EQ(s.status, 1) << c.script;
        std::string err = s.err;
        for (const char* stmt : {"WRITE(", "CLOSE("})
            if (size_t p = err.find(stmt); c.report.find("X(") != std::string::npos && p != std::string::npos) err.replace(p, 6, "X(");
        EXPECT_EQ(err, "\r\nrun-time error " + c.report + "\r\n") << c.script;
        EXPECT_EQ(s.out.find(" done ..."), std::string::npos) << c.script;
        for (const auto& [name, text] : setup.files) EXPECT_EQ(s.file(name), text) << c.script << ": " << name;
        int names = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(s.dir)) ++names;
        EXPECT_EQ(names, int(setup.files.size())) << c.script << ": a file was left beside";
    }
}

}  // namespace

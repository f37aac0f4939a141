// The model listing of data menu 2, checked line by line. The expected
// fields are worked out from the G and I editing rules: G9.3 and G10.3 give
// fixed form with 3 significant digits and 4 trailing blanks for
// 0.1 <= |x| < 1000, exponent form otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/inputs99/model_texts.h"
#include "tests/support/session.h"

namespace {

std::string S(int n) { return std::string(n, ' '); }
std::string Rep(int n, char c) { return std::string(n, c); }
std::string RTrim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}
// Right-justified field of width w.
std::string F(const std::string& text, int w) { return S(w - static_cast<int>(text.size())) + text; }
// G10.3 / G9.3 fields from their hand-worked texts ("12.0    ", ".100E+06").
std::string G10(const std::string& text) { return F(text, 10); }
std::string G9(const std::string& text) { return F(text, 9); }

const std::string kPress = "Press <Enter> to continue ... ";

// The screen from the title line to the data menu that follows the listing,
// trailing blanks removed (blank skips at the end of a record may or may not
// be written).
std::vector<std::string> Listing(const Session& s) {
    std::vector<std::string> all = s.outLines(), out;
    size_t i = 0;
    while (i < all.size() && all[i].rfind(" TITLE : ", 0) != 0) ++i;
    for (; i < all.size() && all[i].find("D A T A    M E N U") == std::string::npos; ++i)
        out.push_back(RTrim(all[i]));
    return out;
}

void ExpectLines(const std::vector<std::string>& got, std::vector<std::string> expected) {
    for (std::string& e : expected) e = RTrim(e);
    ASSERT_EQ(got.size(), expected.size()) << "listing has " << got.size() << " lines";
    for (size_t k = 0; k < got.size(); ++k) EXPECT_EQ(got[k], expected[k]) << "line " << k;
}

void Add(std::vector<std::string>& v, const std::vector<std::string>& more) { v.insert(v.end(), more.begin(), more.end()); }

std::vector<std::string> Counts(int nsta, int ndisc, int nbrg, int nped, int ncm) {
    auto i2 = [](int n) { return F(std::to_string(n), 2); };
    return {"",
            " Number of stations ............. = " + i2(nsta),
            " Number of discs ................ = " + i2(ndisc),
            " Number of bearings ............. = " + i2(nbrg),
            " Number of Pedestals ............ = " + i2(nped),
            " Number of Added Weights......... = " + i2(ncm),
            "",
            kPress};
}

TEST(ListingE2E, EnglishModelWithEveryTableUnderUnbalance) {
    SessionSetup setup;
    setup.files["model.dat"] = kEnglishModel;
    // Main 5, read, list (ten pauses), back, exit.
    Session s = RunKorvo("5\n1\n1\nmodel.dat\n2\n" + std::string(10, '\n') + "6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;

    std::vector<std::string> e = {" TITLE : LISTING TEST ROTOR", " =======", ""};
    Add(e, Counts(5, 2, 2, 1, 1));
    // Shaft elements: O.D 2, I.D .5, length 10, weight 8.5, E 3E7, Rho .283.
    Add(e, {"", "Shaft element data :", Rep(20, '='),
            "Element" + S(6) + "O.D." + S(7) + "I.D." + S(4) + "Length" + S(5) + "Weight" + S(3) + "Mod. of Elas." +
                S(2) + "Density",
            "   No." + S(7) + "IN." + S(8) + "IN." + S(7) + "IN." + S(7) + "LB" + S(6) + "LB/IN**2" + S(7) + "LB/IN**3",
            Rep(78, '_'), ""});
    for (int i = 1; i <= 4; ++i)
        e.push_back(S(3) + F(std::to_string(i), 2) + S(4) + S(2) + G9("2.00    ") + S(2) + G9(".500    ") + S(2) +
                    G9("10.0    ") + S(2) + G9("8.50    ") + S(2) + G9(".300E+08") + S(2) + G9(".283    "));
    Add(e, {S(32) + Rep(10, '_') + S(2) + Rep(10, '_'), S(32) + G10("40.0    ") + S(2) + G10("34.0    "), kPress});
    // Discs.
    Add(e, {"", "Discs data :", Rep(12, '='),
            "Disc" + S(2) + "Station" + S(2) + "O.D." + S(5) + "I.D." + S(4) + "Thickness" + S(2) + "Weight" + S(4) +
                "Polar Mom." + S(2) + "Trans. Mom.",
            "No." + S(3) + "No." + S(6) + "IN." + S(6) + "IN." + S(6) + "IN." + S(7) + "LB" + S(8) + "LB-IN**2" + S(5) +
                "LB-IN**2",
            Rep(78, '_'), ""});
    e.push_back(" 1" + S(4) + " 2" + S(2) + G10("12.0    ") + " " + G10("2.00    ") + " " + G10("1.50    ") + " " +
                G10("20.0    ") + " " + G10("370.    ") + " " + G10("190.    "));
    e.push_back(" 2" + S(4) + " 4" + S(2) + G10("8.00    ") + " " + G10(".000    ") + " " + G10("1.00    ") + " " +
                G10("12.5    ") + " " + G10("100.    ") + " " + G10("50.0    "));
    Add(e, {S(43) + Rep(10, '_'), S(43) + G10("32.5    "), kPress});
    // Bearings.
    Add(e, {"", "Bearing data :", Rep(14, '='), "Bearing" + S(4) + "Station" + S(6) + "Weight",
            "  No." + S(7) + "No." + S(10) + "LB", Rep(33, '_'), ""});
    e.push_back(S(2) + " 1" + S(11) + " 1" + S(6) + G10("1.50    "));
    e.push_back(S(2) + " 2" + S(11) + " 5" + S(6) + G10("1.50    "));
    Add(e, {S(23) + Rep(10, '_'), S(23) + G10("3.00    "), kPress});
    // Pedestal and its coefficients.
    Add(e, {"", "Pedestal data:", Rep(14, '='), "Pedestal" + S(3) + "Station" + S(6) + "Weight",
            "  No." + S(7) + "No." + S(10) + "LB", Rep(33, '_'), ""});
    e.push_back(S(2) + " 1" + S(11) + " 5" + S(6) + G10("25.0    "));
    Add(e, {S(23) + Rep(10, '_'), S(23) + G10("25.0    "), kPress});
    Add(e, {"Pedestal Dynamic Coefficients",
            " Pedestal No." + S(10) + "Kxx" + S(8) + "Kyy" + S(20) + "Cxx" + S(8) + "Cyy", ""});
    e.push_back(S(10) + " 1." + S(5) + G10(".200E+06") + S(2) + G10(".300E+06") + S(2) + S(10) + G10("15.0    ") +
                S(2) + G10("20.0    "));
    e.push_back(kPress);
    // Added weight.
    Add(e, {"", "Added Weight Data :", Rep(19, '='), "Weight" + S(6) + "Station" + S(4) + "Weight",
            " No." + S(8) + "No." + S(8) + "LB", Rep(30, '_'), ""});
    e.push_back(" " + std::string(" 1") + S(9) + " 3" + S(6) + G10("4.25    "));
    Add(e, {S(20) + Rep(10, '_'), S(20) + G10("4.25    "), kPress});
    // Bearing coefficients: three speeds per bearing, the bearing number on
    // the first pair only.
    Add(e, {"", "Bearing coefficients :", Rep(22, '='),
            "Bearing" + S(2) + "Speed" + S(10) + "Stiffness Matrix" + S(17) + "Damping Matrix",
            "  No." + S(4) + "RPM" + S(15) + "LB/IN." + S(26) + "LB-SEC/IN.", Rep(77, '_'), ""});
    const char* speed[] = {".100E+04", ".500E+04", ".100E+05"};
    const char* sxy[] = {".000    ", ".200E+04", ".400E+04"};
    const char* syx[] = {".000    ", "-.200E+04", "-.400E+04"};
    for (int b = 1; b <= 2; ++b) {
        for (int j = 0; j < 3; ++j) {
            if (j == 0)
                e.push_back(S(2) + F(std::to_string(b), 2) + S(3) + G10(speed[j]) + S(4) + G10(".100E+06") + S(2) +
                            G10(sxy[j]) + S(8) + S(2) + G10("10.0    ") + S(2) + G10(".500    "));
            else
                e.push_back(S(11) + G10(speed[j]) + S(4) + G10(".100E+06") + S(2) + G10(sxy[j]) + S(2) + S(2) +
                            G10("10.0    ") + S(2) + G10(".500    "));
            e.push_back(S(21) + G10(syx[j]) + S(2) + G10(".100E+06") + S(8) + S(2) + G10("-.500    ") + S(2) +
                        G10("12.0    "));
            e.push_back(S(7) + Rep(70, '_'));
        }
        e.push_back(kPress);
    }
    // Unbalance: stations 2 and 5 only, numbered 1 and 2.
    Add(e, {"", "Unbalance" + S(4) + "Station" + S(4) + "Amplitude" + S(4) + "Phase angle",
            "  No." + S(8) + "No." + S(8) + "IN-LB" + S(12) + "DEG.", Rep(48, '_'), ""});
    e.push_back(S(2) + " 1" + S(9) + " 2" + S(8) + G10(".500    ") + S(7) + G10(".000    "));
    e.push_back(S(2) + " 2" + S(9) + " 5" + S(8) + G10(".250    ") + S(7) + G10("90.0    "));
    e.push_back(kPress);
    // Then the data menu after its five empty lines.
    Add(e, {"", "", "", "", ""});
    ExpectLines(Listing(s), e);
}

TEST(ListingE2E, MetricHeadersAndNoUnbalanceOutsideOption5) {
    SessionSetup setup;
    setup.files["model.dat"] = kMetricModel;
    // Main 1 (pause), read, list: counts, shaft, discs, bearings, two
    // pedestal pauses, two bearing-coefficient pauses.
    Session s = RunKorvo("1\n\n1\n1\nmodel.dat\n2\n" + std::string(8, '\n') + "6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const auto got = Listing(s);
    auto has = [&](const std::string& line) {
        for (const auto& g : got)
            if (g == RTrim(line)) return true;
        return false;
    };
    EXPECT_TRUE(has("   No." + S(7) + "MM." + S(8) + "MM." + S(7) + "MM." + S(7) + "KG" + S(6) + "KG/MM**2" + S(7) +
                    "KG/MM**3"));
    EXPECT_TRUE(has("No." + S(3) + "No." + S(6) + "MM." + S(6) + "MM." + S(6) + "MM." + S(7) + "KG" + S(8) +
                    "KG-MM**2" + S(5) + "KG-MM**2"));
    EXPECT_TRUE(has("  No." + S(7) + "No." + S(10) + "KG"));
    EXPECT_TRUE(has("  No." + S(4) + "RPM" + S(15) + "KG/MM." + S(26) + "KG-SEC/MM."));
    // The pedestal table has only the English header.
    EXPECT_TRUE(has("Pedestal data:"));
    EXPECT_TRUE(has("  No." + S(7) + "No." + S(10) + "LB"));
    for (const auto& g : got) {
        EXPECT_EQ(g.find("IN."), std::string::npos) << g;
        EXPECT_EQ(g.find("Unbalance"), std::string::npos) << g;
        EXPECT_EQ(g.find("Added Weight Data"), std::string::npos) << g;
    }
    // Element: O.D 50, length 200, E 21000, Rho 7.85E-6; four speeds, so
    // four pairs per bearing.
    EXPECT_TRUE(has(S(3) + " 1" + S(4) + S(2) + G9("50.0    ") + S(2) + G9(".000    ") + S(2) + G9("200.    ") + S(2) +
                    G9(".000    ") + S(2) + G9(".210E+05") + S(2) + G9(".785E-05")));
    EXPECT_TRUE(has(S(32) + G10("600.    ") + S(2) + G10(".000    ")));
    EXPECT_EQ(CountOccurrences(s.out, S(7) + Rep(70, '_')), 8);
    EXPECT_EQ(CountOccurrences(s.out, kPress), 1 + 8) << "main menu 1 pause and the listing's pauses";
}

TEST(ListingE2E, ModelWithoutBearingsStillShowsTheCoefficientHeader) {
    SessionSetup setup;
    setup.files["bare.dat"] = "BARE SHAFT\n2 0 0 0 0\n1 0\n1.0 0.0 5.0 0.0 1.0\n3.0E7 0.283\n1\n0.0\n1 0 0\n2 0 0\n";
    Session s = RunKorvo("2\n1\n1\nbare.dat\n2\n\n\n6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    std::vector<std::string> e = {" TITLE : BARE SHAFT", " =======", ""};
    Add(e, Counts(2, 0, 0, 0, 0));
    Add(e, {"", "Shaft element data :", Rep(20, '='),
            "Element" + S(6) + "O.D." + S(7) + "I.D." + S(4) + "Length" + S(5) + "Weight" + S(3) + "Mod. of Elas." +
                S(2) + "Density",
            "   No." + S(7) + "IN." + S(8) + "IN." + S(7) + "IN." + S(7) + "LB" + S(6) + "LB/IN**2" + S(7) + "LB/IN**3",
            Rep(78, '_'), ""});
    e.push_back(S(3) + " 1" + S(4) + S(2) + G9("1.00    ") + S(2) + G9(".000    ") + S(2) + G9("5.00    ") + S(2) +
                G9("1.00    ") + S(2) + G9(".300E+08") + S(2) + G9(".283    "));
    Add(e, {S(32) + Rep(10, '_') + S(2) + Rep(10, '_'), S(32) + G10("5.00    ") + S(2) + G10("1.00    "), kPress});
    // No discs, bearings, pedestals or added weights; the coefficient
    // header with no rows and no pause; then the data menu.
    Add(e, {"", "Bearing coefficients :", Rep(22, '='),
            "Bearing" + S(2) + "Speed" + S(10) + "Stiffness Matrix" + S(17) + "Damping Matrix",
            "  No." + S(4) + "RPM" + S(15) + "LB/IN." + S(26) + "LB-SEC/IN.", Rep(77, '_'), "", "", "", "", "", ""});
    ExpectLines(Listing(s), e);
}

}  // namespace

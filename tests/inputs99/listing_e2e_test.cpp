// The model listing of data menu 2, checked line by line. The fields are
// worked out from the editing rules: G9.3 and G10.3 give 3 significant
// digits in fixed form with 4 trailing blanks for 0.1 <= |x| < 1000, the
// exponent form otherwise; trailing blanks are not compared.
#include <cstdio>

#include "tests/inputs99/front_end_support.h"

namespace {

using namespace fe_test;

const std::string kPress = "Press <Enter> to continue ...\n";
const std::string kDataMenuTitle = S(19) + "D A T A    M E N U";
const std::string kCoefficientHeader =
    "\nBearing coefficients :\n" + Rep(22, '=') +
    "\nBearing  Speed          Stiffness Matrix                 Damping Matrix\n"
    "  No.    RPM               LB/IN.                          LB-SEC/IN.\n" +
    Rep(77, '_') + "\n\n";

std::string Counts(int nsta, int ndisc, int nbrg, int nped, int ncm) {
    char b[300];
    std::snprintf(b, sizeof b,
                  "\n Number of stations ............. = %2d\n Number of discs ................ = %2d\n"
                  " Number of bearings ............. = %2d\n Number of Pedestals ............ = %2d\n"
                  " Number of Added Weights......... = %2d\n\n",
                  nsta, ndisc, nbrg, nped, ncm);
    return b + kPress;
}

TEST(ListingE2E, EnglishModelWithEveryTableUnderUnbalance) {
    SessionSetup setup;
    setup.files["model.dat"] = kEnglishModel;
    // Main 5, read, list (ten pauses), back, exit.
    Session s = RunKorvo("5\n1\n1\nmodel.dat\n2\n" + std::string(10, '\n') + "6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // Elements: O.D 2, I.D .5, length 10, weight 8.5, E 3E7, Rho .283, and
    // the sums of the lengths and weights.
    std::string e = "\n TITLE : LISTING TEST ROTOR\n =======\n\n" + Counts(5, 2, 2, 1, 1) +
                    "\nShaft element data :\n" + Rep(20, '=') +
                    "\nElement      O.D.       I.D.    Length     Weight   Mod. of Elas.  Density\n"
                    "   No.       IN.        IN.       IN.       LB      LB/IN**2       LB/IN**3\n" +
                    Rep(78, '_') + "\n\n";
    for (int i = 1; i <= 4; ++i)
        e += "    " + std::to_string(i) + "       2.00       .500       10.0       8.50       .300E+08   .283\n";
    e += S(32) + Rep(10, '_') + "  " + Rep(10, '_') + "\n" + S(34) + "40.0        34.0\n" + kPress;
    // Discs, with the sum of their weights.
    e += "\nDiscs data :\n" + Rep(12, '=') +
         "\nDisc  Station  O.D.     I.D.    Thickness  Weight    Polar Mom.  Trans. Mom.\n"
         "No.   No.      IN.      IN.      IN.       LB        LB-IN**2     LB-IN**2\n" +
         Rep(78, '_') +
         "\n\n 1     2    12.0       2.00       1.50       20.0       370.       190.\n"
         " 2     4    8.00       .000       1.00       12.5       100.       50.0\n" +
         S(43) + Rep(10, '_') + "\n" + S(45) + "32.5\n" + kPress;
    // Bearings, the pedestal and its coefficients, the added weight.
    e += "\nBearing data :\n" + Rep(14, '=') + "\nBearing    Station      Weight\n  No.       No.          LB\n" +
         Rep(33, '_') + "\n\n   1            1        1.50\n   2            5        1.50\n" + S(23) + Rep(10, '_') +
         "\n" + S(25) + "3.00\n" + kPress;
    e += "\nPedestal data:\n" + Rep(14, '=') + "\nPedestal   Station      Weight\n  No.       No.          LB\n" +
         Rep(33, '_') + "\n\n   1            5        25.0\n" + S(23) + Rep(10, '_') + "\n" + S(25) + "25.0\n" +
         kPress + "Pedestal Dynamic Coefficients\n" + " Pedestal No.          Kxx        Kyy" + S(20) +
         "Cxx        Cyy\n\n           1.       .200E+06    .300E+06              15.0        20.0\n" + kPress;
    e += "\nAdded Weight Data :\n" + Rep(19, '=') + "\nWeight      Station    Weight\n No.        No.        LB\n" +
         Rep(30, '_') + "\n\n  1          3        4.25\n" + S(20) + Rep(10, '_') + "\n" + S(22) + "4.25\n" + kPress;
    // Three speeds per bearing, the bearing number on the first pair only.
    e += kCoefficientHeader;
    const std::string line = S(7) + Rep(70, '_') + "\n";
    for (const char* b : {"1", "2"})
        e += std::string("   ") + b + "     .100E+04      .100E+06    .000                10.0        .500\n" +
             "                       .000        .100E+06           -.500        12.0\n" + line +
             "             .500E+04      .100E+06    .200E+04      10.0        .500\n" +
             "                      -.200E+04    .100E+06           -.500        12.0\n" + line +
             "             .100E+05      .100E+06    .400E+04      10.0        .500\n" +
             "                      -.400E+04    .100E+06           -.500        12.0\n" + line + kPress;
    // Unbalance: stations 2 and 5 only, numbered 1 and 2; then the data
    // menu after its five empty lines.
    e += "\nUnbalance    Station    Amplitude    Phase angle\n  No.        No.        IN-LB            DEG.\n" +
         Rep(48, '_') + "\n\n   1          2          .500             .000\n" +
         "   2          5          .250             90.0\n" + kPress + "\n\n\n\n\n" + kDataMenuTitle;
    EXPECT_TRUE(HasBlock(s, e));
    EXPECT_EQ(Count(s, "TITLE : "), 1);
}

TEST(ListingE2E, MetricHeadersAndNoUnbalanceOutsideOption5) {
    SessionSetup setup;
    setup.files["model.dat"] = kMetricModel;
    // Main 1 (pause), read, list: counts, shaft, discs, bearings, two
    // pedestal pauses, two bearing-coefficient pauses.
    Session s = RunKorvo("1\n\n1\n1\nmodel.dat\n2\n" + std::string(8, '\n') + "6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // Element: O.D 50, length 200, E 21000, Rho 7.85E-6; three elements.
    // The pedestal table has only the English header.
    EXPECT_TRUE(InOrder(s, {"   No.       MM.        MM.       MM.       KG      KG/MM**2       KG/MM**3",
                         "    1       50.0       .000       200.       .000       .210E+05   .785E-05",
                         S(34) + "600.        .000",
                         "No.   No.      MM.      MM.      MM.       KG        KG-MM**2     KG-MM**2",
                         "  No.       No.          KG", "Pedestal data:", "  No.       No.          LB",
                         "  No.    RPM               KG/MM.                          KG-SEC/MM."}));
    for (const char* absent : {"IN.", "Unbalance    Station", "Added Weight Data"})
        EXPECT_EQ(s.out.find(absent), std::string::npos) << absent;
    EXPECT_EQ(Count(s, S(7) + Rep(70, '_')), 8) << "four speeds for each bearing";
    EXPECT_EQ(Count(s, kPress.substr(0, 29)), 1 + 8) << "main menu 1 pause and the listing's";
}

TEST(ListingE2E, ModelWithoutBearingsStillShowsTheCoefficientHeader) {
    SessionSetup setup;
    setup.files["bare.dat"] = "BARE SHAFT\n2 0 0 0 0\n1 0\n1.0 0.0 5.0 0.0 1.0\n3.0E7 0.283\n1\n0.0\n1 0 0\n2 0 0\n";
    Session s = RunKorvo("2\n1\n1\nbare.dat\n2\n\n\n6\n8\n", setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // No discs, bearings, pedestals or added weights; the coefficient
    // header with no rows and no pause; then the data menu.
    EXPECT_TRUE(HasBlock(s, Counts(2, 0, 0, 0, 0)));
    EXPECT_TRUE(HasBlock(s, "    1       1.00       .000       5.00       1.00       .300E+08   .283\n" + S(32) +
                                Rep(10, '_') + "  " + Rep(10, '_') + "\n" + S(34) + "5.00        1.00\n" + kPress +
                                kCoefficientHeader + "\n\n\n\n\n" + kDataMenuTitle));
}

}  // namespace

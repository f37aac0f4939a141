// The analysis option dialogs of data-menu 5: the questions of each analysis,
// the mass distribution, the report file, and the opening of the result
// files, before the driver runs the analysis.
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

constexpr int MAXSTABPLOT = 10;       // eigenvalues that can be plotted against speed
constexpr int MAXSTATIONSPERFILE = 99;  // station entries of one unbalance file

// ---------------------------------------------------------------------------
// Small question helpers.

// Writes a plain-text question and asks it until the answer is Y or N.
bool AskYesNoQuestion(const char* question) {
    for (;;) {
        Write(CONSOLE, FREE, question);
        AskYesNo();
        if (FRONT.ANS == "Y") return true;
        if (FRONT.ANS == "N") return false;
    }
}

int ReadInt() {
    int v = 0;
    Read(CONSOLE, FREE, v);
    return v;
}

int AskInt(const char* prompt) {
    Write(CONSOLE, FREE, prompt);
    return ReadInt();
}

// A real, asked again while the answer is not a finite number.
float AskFloat(const char* prompt) {
    float v = 0.0f;
    do {
        Write(CONSOLE, FREE, prompt);
    } while (!ReadFiniteAnswer(v));
    return v;
}

// A file name under a plain-text prompt, asked again (with the prompt) while blank.
void AskFileName(const char* prompt, Text14& name) {
    do {
        Write(CONSOLE, FREE, prompt);
        ReadFileName(name);
    } while (name.blank());
}

// A file name under a formatted prompt with one number, asked again while blank.
void AskFileName(FormatText<int32_t> fmt, int32_t number, Text14& name) {
    do {
        Write(CONSOLE, fmt, number);
        ReadFileName(name);
    } while (name.blank());
}

// Creates a result file (with the overwrite dialog).
void OpenResultFile(int unit, Text14& name) {
    FRONT.FSTAT = Text3("NEW");
    OpenFileChecked(unit, name, FRONT.FSTAT);
}

// A plane answer, 1 (X) or 2 (Y), asked until it is one of them.
int AskPlane(const char* prompt) {
    for (;;) {
        const int p = AskInt(prompt);
        if (p == 1 || p == 2) return p;
        Write(CONSOLE, FREE, " The Plane Must Be 1 (X) or 2 (Y) !");
    }
}

// ---------------------------------------------------------------------------
// Mode-shape questions (main-menu 1 and 3).

void ModeShapeQuestions() {
    OPTS.NORMFLAG = AskYesNoQuestion("  Normalize the Mode Shapes ? Y/N > ") ? 1 : 0;
    if (!AskYesNoQuestion(" Store Mode Shapes for Plotting ? Y/N > ")) return;

    const int ndof = NumberOfDofs(MODEL);
    for (;;) {
        OPTS.NPLOT = AskInt(" How many modes to plot ? ... ");
        if (OPTS.NPLOT >= 1 && OPTS.NPLOT <= ndof) break;
        Write(CONSOLE, FREE, " The Number of Modes Must Be From 1 to", ndof);
    }

    if (AskYesNoQuestion(" Plot these modes on the same graph ? Y/N > ")) {
        AskFileName(" Input Filename to store the modes ... ", OPTS.PLOTFILE(1));
        OPTS.NFILES = 1;
        OPTS.NPERFILE(1) = OPTS.NPLOT;
        return;
    }

    // One file per group of modes, until all modes to plot have a file.
    int total = 0;
    int k = 0;
    while (total < OPTS.NPLOT) {
        if (k == MAXPLOTFILES) {
            Write(CONSOLE, FREE, " Total Number of Files Exceeds the Limit");
            Write(CONSOLE, FREE, " No More Modes Will be Stored in this Run");
            OPTS.NPLOT = total;
            break;
        }
        ++k;
        // The files take consecutive modes, so together they may hold at
        // most every mode of the system.
        const int most = ndof - total;
        for (;;) {
            Write(CONSOLE, FREE, " How many modes to store in file", k, " ---> ");
            OPTS.NPERFILE(k) = ReadInt();
            if (OPTS.NPERFILE(k) >= 1 && OPTS.NPERFILE(k) <= most) break;
            Write(CONSOLE, FREE, " The Number of Modes in this File Must Be From 1 to", most);
        }
        do {
            Write(CONSOLE, FREE, " Input Filename No.", k);
            Write(CONSOLE, FREE);
            ReadFileName(OPTS.PLOTFILE(k));
        } while (OPTS.PLOTFILE(k).blank());
        total += OPTS.NPERFILE(k);
    }
    OPTS.NFILES = k;
}

// ---------------------------------------------------------------------------
// Spline questions and the speed range (stability and unbalance).

// The end condition and, except under stability option 3, the question
// whether the fitted coefficients are stored (with their files opened).
void SplineQuestions() {
    Write(CONSOLE, "(/,/,5X,'The Bearing Coefficients Will be Fitted By',' a Cubic Spline')");
    Write(CONSOLE,
          "(/,/,5X,'Three types of ends condition could be used:',/,/,15X,'1. Linear ',/,/,15X,"
          "'2. Parabolic ',/,/,15X,'3. Cubic ',/)");
    for (;;) {
        ChooseOption(OPTS.ENDCOND, 1, 3);
        if (OPTS.MAINOPT == 4 && OPTS.STABOPT == 3) return;
        Write(CONSOLE, "(/,/,5X,'Store The Fitted Coefficients for Plotting? Y/N> ')");
        OPTS.SPLSTORE = 0;
        AskYesNo();
        if (FRONT.ANS == "N") return;
        if (FRONT.ANS == "Y") break;
    }
    OPTS.SPLSTORE = 1;
    for (int i = 1; i <= MODEL.NBRG; ++i) {
        AskFileName("(5X,'Input Filename to Store The Stiffness Coefficients',/,5X,'of Bearing No.',I2,' > ')", i,
                    OPTS.BRGFILE(i));
        OpenResultFile(BrgStiffUnit(i), OPTS.BRGFILE(i));
        AskFileName("(5X,'Input Filename to Store The Damping Coefficients',/,5X,'of Bearing No.',I2,' > ')", i,
                    OPTS.BRGFILE(MODEL.NBRG + i));
        OpenResultFile(BrgDampUnit(i), OPTS.BRGFILE(MODEL.NBRG + i));
    }
}

// Starting speed, ending speed and a non-zero increment.
void SpeedRangeQuestions() {
    OPTS.SPEED1 = AskFloat("  Input Starting Speed [rpm]... ");
    OPTS.SPEED2 = AskFloat("  Input Ending Speed [rpm]..... ");
    do {
        OPTS.DSPEED = AskFloat("  Input Speed Increment [rpm].. ");
    } while (OPTS.DSPEED == 0.0f);
}

// ---------------------------------------------------------------------------
// Stability dialog (main-menu 4). False when the analysis is refused.

// Stability option 3: the two speeds between which the threshold is sought.
void ThresholdRangeQuestions() {
    Write(CONSOLE, FREE, " The Search for the Threshold Speed of Instability");
    Write(CONSOLE, FREE, " Will be limited to the Operating Speed Indicated");
    OPTS.SPEED1 = AskFloat(" Input Lower Speed [RPM] ... ");
    for (;;) {
        OPTS.SPEED2 = AskFloat(" Input Upper Speed [RPM] ... ");
        if (OPTS.SPEED2 > OPTS.SPEED1) break;
        Write(CONSOLE, FREE, " The Upper Speed Must Be Above the Lower Speed !");
    }
    OPTS.DSPEED = OPTS.SPEED2 - OPTS.SPEED1;
    OPTS.NPLOT = 4;
}

// Stability options 1 and 2: the eigenvalues to store against speed and
// their two files, opened at once.
void EigenvalueFileQuestions() {
    Write(CONSOLE,
          "(10X,'-------------------------------------------',/,10X,"
          "'When Plotting the (N) Lowest Eigenvalues        ',/,10X,"
          "'Versus Rotor Speed, Two graphs are stored :',/,10X,"
          "'  a) Real Part of the Eigenvalues Vs. Speed',/,10X,"
          "'  b) Imaginary Part Vs. Speed              ',/,10X,"
          "'     Where, N <= 10                        ',/,10X,"
          "'-------------------------------------------',/,/)");
    for (;;) {
        OPTS.NPLOT = AskInt(" How many modes to plot ? ... ");
        if (OPTS.NPLOT >= 1 && OPTS.NPLOT <= MAXSTABPLOT) break;
        Write(CONSOLE, FREE, " The Number of Eigenvalues to Plot Must Be From 1 to 10 !");
    }
    AskFileName(" Input Filename to store the Real Part  > ", OPTS.PLOTFILE(1));
    OpenResultFile(UNIT_EIG_REAL, OPTS.PLOTFILE(1));
    AskFileName(" Input Filename to store the Imaginary Part > ", OPTS.PLOTFILE(2));
    OpenResultFile(UNIT_EIG_IMAG, OPTS.PLOTFILE(2));
}

// Stability options 2 and 3: the accuracy of the threshold; option 3 shows
// the iterations it takes and may ask again.
void AccuracyQuestions() {
    for (;;) {
        for (;;) {
            OPTS.ACCUR = AskFloat(" Desired Accuracy [RPM] = ");
            if (OPTS.ACCUR > 0.0f) break;
            Write(CONSOLE, FREE, " The Accuracy Must Be Greater Than Zero !");
        }
        if (OPTS.STABOPT == 2) return;
        OPTS.NITER = BisectionIterations(OPTS.DSPEED, OPTS.ACCUR);
        Write(CONSOLE,
              "(/,5X,'If the System Has an Instability Threshold',/,5X,'Between ',F8.1,' and ',F8.1,' RPM',/,"
              "5X,'It Will Take About',I3,' Iterations to Locate It',/,5X,'With an Accuracy of ',F8.3,' RPM',/,"
              "/,5X,'****** Change Accuracy Required ? Y/N > ')",
              OPTS.SPEED1, OPTS.SPEED2, OPTS.NITER, OPTS.ACCUR);
        AskYesNo();
        if (!(FRONT.ANS == "Y")) return;
    }
}

bool StabilityDialog() {
    // Refused with constant bearing coefficients: nothing depends on speed.
    if (MODEL.NSPEED == 1) {
        Beep(2);
        Write(CONSOLE, FREE, " CANNOT SOLVE FOR STABILITY ANALYSIS ");
        Write(CONSOLE, FREE, " WITH CONSTANT BEARING COEFFICIENTS !");
        PressEnterToContinue();
        return false;
    }
    // The stability option.
    Write(CONSOLE,
          "(/,/,20X,'  S T A B I L I T Y    A N A L Y S I S ',/,20X,'  ************************************ ',/)");
    Write(CONSOLE,
          "(/,/,5X,'The Options Are :',/,/,5X,'1. Do Not Iterate to Find the Threshold Speed',/,5X,"
          "'      Note: Energy Check Will NOT Be Performed',/,5X,'      But, Store the Eigenvalues for plotting',/,/,"
          "5X,'2. Find The Threshold Speed of Instability and Perform',/,5X,"
          "'   The Energy Check at The Threshold Speed',/,5X,'   and Store the Eigenvalues for plotting',/,/,5X,"
          "'3. Do Not Store the Eigenvalues for Plotting',/,5X,'   But, Locate The Threshold Speed and Perform',/,"
          "5X,'   An Energy Check at that Threshold Speed of Instability',/,/)");
    ChooseOption(OPTS.STABOPT, 1, 3);
    // The speeds of option 3, or the eigenvalue files of options 1 and 2.
    if (OPTS.STABOPT == 3)
        ThresholdRangeQuestions();
    else
        EigenvalueFileQuestions();
    // The accuracy of the threshold search.
    if (OPTS.STABOPT != 1) AccuracyQuestions();
    // The splines, and the speed range of the sweep.
    SplineQuestions();
    if (OPTS.STABOPT != 3) SpeedRangeQuestions();
    return true;
}

// ---------------------------------------------------------------------------
// Unbalance dialog (main-menu 5). False when it went to the editor instead.

void PedestalQuestions() {
    if (!AskYesNoQuestion(" Plot Pedestals Response ? Y/N > ")) {
        OPTS.NPEDFILES = 0;
        return;
    }
    if (OPTS.PLOTOPT == 9)
        OPTS.NPEDFILES = MODEL.NPED;
    else
        OPTS.NPEDFILES = AskYesNoQuestion(" Store Pedestals Response in One File ? Y/N > ") ? 1 : MODEL.NPED;

    for (int f = 1; f <= OPTS.NPEDFILES; ++f) {
        if (OPTS.NPEDFILES == 1)
            Write(CONSOLE, FREE, " Input Filename to store Pedestals data ... ");
        else
            Write(CONSOLE,
                  "(/,/,5X,'Input Filename to Store Data for Pedestal ',I2,/,5X,"
                  "'           Located at Bearing Station No. ',I2,/,/,5X,'Filename > ')",
                  f, MODEL.PSTA(f));
        do {
            ReadFileName(OPTS.PEDFILE(f));
        } while (OPTS.PEDFILE(f).blank());
        if (OPTS.PLOTOPT == 4 || OPTS.PLOTOPT == 8) {
            const int p = AskPlane(" Which Plane ? (X=1 , Y=2) Input 1 or 2 > ");
            OPTS.PEDPLANE(f) = OPTS.PLOTOPT == 4 ? p + 1 : p + 3;
        }
    }
}

// The result column of plot options 1, 2, 5 and 6 for every entry.
void SetPlaneCodes() {
    const int code = PlotOptionQuantity(OPTS.PLOTOPT);
    if (code == 0) return;
    for (int j = 1; j <= OPTS.IPLANE.size(); ++j) OPTS.IPLANE(j) = code;
    for (int j = 1; j <= OPTS.PEDPLANE.size(); ++j) OPTS.PEDPLANE(j) = code;
}

// The number of stations to plot, not negative.
void AskStationCount(bool orbit) {
    Write(CONSOLE, FREE, " TOTAL NUMBER OF ROTOR STATIONS TO PLOT ? ... ");
    if (orbit) {
        Write(CONSOLE, FREE, "  Only One Rotor Station per File          ");
    } else {
        Write(CONSOLE, FREE);
        Write(CONSOLE, FREE, " NOTE: Any combination of stations may be plotted");
        Write(CONSOLE, FREE, "       together. The same station may be repeated");
        Write(CONSOLE, FREE);
    }
    for (;;) {
        OPTS.NPLOT = ReadInt();
        if (OPTS.NPLOT >= 0) return;
        Write(CONSOLE, FREE, " The Number of Stations Must Not Be Negative !");
    }
}

// The station files: how many stations each holds (one per orbit file) and
// its name, until every station to plot has a file or the files run out.
void StationFileQuestions(bool orbit, int available) {
    int k = 1;
    int total = 0;
    for (int pass = 1; pass <= OPTS.NPLOT; ++pass) {
        if (orbit) {
            OPTS.NPERFILE(k) = 1;
            total += 1;
        } else {
            if (total >= OPTS.NPLOT) break;
            for (;;) {
                Write(CONSOLE, FREE, " Number of Stations to Store in File", k, " > ");
                OPTS.NPERFILE(k) = ReadInt();
                if (OPTS.NPERFILE(k) >= 1 && OPTS.NPERFILE(k) <= MAXSTATIONSPERFILE) break;
                Write(CONSOLE, FREE, " The Number of Stations per File Must Be From 1 to", MAXSTATIONSPERFILE);
            }
            total += OPTS.NPERFILE(k);
        }
        do {
            Write(CONSOLE, FREE, " Input Name for File", k);
            Write(CONSOLE, FREE);
            ReadFileName(OPTS.PLOTFILE(k));
        } while (OPTS.PLOTFILE(k).blank());
        ++k;
        if (k > available) {
            Write(CONSOLE, FREE, " Total Number of Files Exceeds the Limit");
            Write(CONSOLE, FREE, " No More Stations Will be Stored in this Run");
            OPTS.NPLOT = total;
            break;
        }
    }
    OPTS.NFILES = k - 1;
}

// The station of every entry of every file, and its plane for plot options
// 4 and 8.
void StationLocationQuestions() {
    int s = 0;
    for (int f = 1; f <= OPTS.NFILES; ++f) {
        Write(CONSOLE, "(5X,'Stations to store in : ',A14)", OPTS.PLOTFILE(f));
        for (int e = 1; e <= OPTS.NPERFILE(f); ++e) {
            ++s;
            for (;;) {
                Write(CONSOLE, FREE, " Input Node Location of Station", s, " > ");
                OPTS.ISTPLOT(s) = ReadInt();
                if (OPTS.ISTPLOT(s) >= 1 && OPTS.ISTPLOT(s) <= MODEL.NSTA) break;
                Write(CONSOLE, FREE, " The Station Number Must Be From 1 to", MODEL.NSTA);
            }
            if (OPTS.PLOTOPT == 4 || OPTS.PLOTOPT == 8) {
                const int p = AskPlane(" Which Plane  ? (X=1 , Y=2) Input 1 or 2 > ");
                OPTS.IPLANE(s) = OPTS.PLOTOPT == 4 ? p + 1 : p + 3;
            }
        }
    }
}

void StationQuestions() {
    const bool orbit = OPTS.PLOTOPT == 9;
    const int available = MAXPLOTFILES - OPTS.NPEDFILES;
    AskStationCount(orbit);
    if (OPTS.NPLOT == 0 || available < 1) return;
    Write(CONSOLE, "(/,/,' There are:',I3,' Files available for storage',/)", available);
    StationFileQuestions(orbit, available);
    StationLocationQuestions();
}

bool UnbalanceDialog() {
    Write(CONSOLE,
          "(20X,'P L O T   O P T I O N S',/,20X,'=======================',/,/,/,2X,"
          "' 1. Vibration Amplitude in Plane 1 ( X-direction )',/,2X,"
          "' 2.    \"        \"        \" Plane 2 ( Y-direction )',/,2X,"
          "' 3.    \"        \"        \" Both Planes',/,2X,"
          "' 4.    \"        \"        \" Both Planes Stored Separately',/,2X,"
          "' 5. Phase Angle in Plane 1 ( X- Phase Angle )',/,2X,"
          "' 6.    \"    \"    \" Plane 2 ( Y- Phase Angle )',/,2X,"
          "' 7.    \"    \"    \" Both Planes',/,2X,"
          "' 8.    \"    \"    \" Both Planes Stored Separately',/,2X,"
          "' 9. Steady-State Orbital Motion at a given speed',/,2X,"
          "'10. Store Results of all Stations for Animation',/,2X,"
          "'11. No Plot: Results Summarized in Output_File',/,/)");
    ChooseOption(OPTS.PLOTOPT, 1, 11);
    Write(CONSOLE, FREE);

    if (FRONT.HAVEUNB == 0) {
        Write(CONSOLE, FREE, " Must Input Unbalance Data !");
        PressEnterToContinue();
        DataEditor();
        return false;
    }

    if (OPTS.PLOTOPT == 9) {
        OPTS.SPEED1 = AskFloat(" Speed (RPM) at Which to Plot the Orbits ...");
        // The orbit is one step at the speed asked.
        OPTS.SPEED2 = OPTS.SPEED1;
        OPTS.DSPEED = 1.0f;
        for (;;) {
            OPTS.NTMARK = AskInt(" Input Number of Timing Marks ... ");
            if (OPTS.NTMARK >= 0 && OPTS.NTMARK <= 101) break;
            Write(CONSOLE, FREE, " The Number of Timing Marks Must Be From 0 to 101 !");
        }
    } else {
        Write(CONSOLE, FREE, "  Input Speed Range Data for Unbalance Response");
        Write(CONSOLE, FREE);
        SpeedRangeQuestions();
        if (MODEL.NSPEED > 1) SplineQuestions();
    }

    if (OPTS.PLOTOPT == 11) return true;
    if (MODEL.NPED == 0)
        OPTS.NPEDFILES = 0;
    else
        PedestalQuestions();

    if (OPTS.PLOTOPT == 10) {
        AskFileName(" Input Filename to Store Results for Animation > ", OPTS.PLOTFILE(1));
        OPTS.NFILES = 1;
        return true;
    }
    StationQuestions();
    // Plot options 1, 2, 5 and 6 store one quantity for every entry, the
    // pedestal files included, even when no station file was named.
    SetPlaneCodes();
    return true;
}

// ---------------------------------------------------------------------------
// Mass distribution, rotor speed of the eigenvalue problems, report file,
// and the result files.

void FinalSteps() {
    do {
        Write(CONSOLE,
              "(/,/,1X,'CHOOSE AMONG THE FOLLOWING THE MASS',' DISTRIBUTION :',/,/,/,10X,"
              "'1. Lumped mass : 1/2 of beam mass lumped at the node',/,10X,"
              "'2. ( 1/6 - 1/3 - 1/6 ) Mass distribution',/,10X,'3. Consistent mass',/,/,10X,"
              "'Input choice # ..... ')");
        OPTS.MASSOPT = ReadInt();
    } while (OPTS.MASSOPT > 3);

    if (MODEL.NSPEED > 1 && OPTS.MAINOPT < 4) {
        Write(CONSOLE, FREE, " Bearing Parameters Are Speed Dependent");
        Write(CONSOLE, FREE, " At What Rotor Speed Solve the E.V. Problem?");
        OPTS.SPEED1 = AskFloat(" Input Speed in RPM ...... ");
        OPTS.DSPEED = 1.0f;
        OPTS.SPEED2 = OPTS.SPEED1;
    }

    if (!(OPTS.MAINOPT == 5 && OPTS.PLOTOPT < 11)) {
        AskFileName("Input Filename to Store OUTPUT Data ... ", OPTS.OUTFILE);
        FRONT.FSTAT = Text3("NEW");
        OpenFileChecked(UNIT_REPORT, OPTS.OUTFILE, FRONT.FSTAT);
    }

    CloseUnit(UNIT_MODEL);
    if (OPTS.MAINOPT == 4) return;  // its files are open already

    for (int f = 1; f <= OPTS.NFILES + OPTS.NPEDFILES; ++f) {
        Text14& name = f <= OPTS.NFILES ? OPTS.PLOTFILE(f) : OPTS.PEDFILE(f - OPTS.NFILES);
        OpenResultFile(ResultUnit(f), name);
    }
}

}  // namespace

DialogResult RunAnalysisDialog() {
    // Only the questions of this dialog decide which files the run writes.
    OPTS.NFILES = 0;
    OPTS.NPEDFILES = 0;
    OPTS.SPLSTORE = 0;
    if (OPTS.MAINOPT != 4) OPTS.STABOPT = 0;

    switch (OPTS.MAINOPT) {
        case 2:
            break;
        case 4:
            if (!StabilityDialog()) return DialogResult::DataMenu;
            break;
        case 5:
            if (!UnbalanceDialog()) return DialogResult::DataMenu;
            break;
        default:
            ModeShapeQuestions();
            break;
    }
    FinalSteps();
    return DialogResult::Run;
}

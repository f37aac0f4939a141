// Dialog of the curve-fitting tool (main-menu 7): end condition, data file,
// fitted-data file, the table itself and the number of output points. The
// menus have written the tool's title already.
#include "model/curve_fit_table.h"
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "recordio/recordio.h"

namespace {

void AskName(const char* prompt, Text14& name) {
    do {
        Write(CONSOLE, FREE, prompt);
        ReadFileName(name);
    } while (name.blank());
}

// Leaves the tool for the main menu after a message.
bool GiveUp(const char* message) {
    Write(CONSOLE, FREE, message);
    PressEnterToContinue();
    CloseUnit(UNIT_FIT_DATA);
    CloseUnit(UNIT_FIT_OUT);
    return false;
}

bool ReadError() { return GiveUp(" ERROR READING DATA_FILE !"); }

// Reads row r (abscissa and c ordinates) in status mode; 0 on success.
int ReadRow(int r, int c) {
    BeginRead(UNIT_FIT_DATA, FREE, true);
    int st = ReadReal(FITDATA.X(r));
    for (int m = 1; st == 0 && m <= c; ++m) st = ReadReal(FITDATA.Y(r, m));
    if (st != 0) return st;
    return EndRead();
}

}  // namespace

bool CurveFitDialog() {
    CurveFitTable& t = FITDATA;

    Write(CONSOLE,
          "(/,/,5X,'Three types of ends condition could be used:',/,/,15X,'1. Linear ',/,/,15X,"
          "'2. Parabolic ',/,/,15X,'3. Cubic ',/)");
    ChooseOption(OPTS.ENDCOND, 1, 3);
    Write(CONSOLE, "(/,/,5X,'The Maximum Number of Rows of data that',' can be fitted',/,5X,'is limited to ',I2,' Rows',/)",
          FIT_MAXROWS);
    Write(CONSOLE,
          "(/,5X,'The Maximum Number of Columns that are allowed',/,5X,'is limited to ',I2,"
          "' Columns (Including The First',' Column)',/,/)",
          99);

    Text14 dataName;
    AskName(" Input Filename Containing Data > ", dataName);
    int k = 0;
    for (;;) {
        Write(CONSOLE, FREE, " How Many Columns to Read ? ... ");
        Read(CONSOLE, FREE, k);
        if (k >= 1) break;
        Write(CONSOLE, FREE, " At Least One Column (The Abscissa) Must be Read !");
    }
    FRONT.FSTAT = Text3("OLD");
    OpenFileChecked(UNIT_FIT_DATA, dataName, FRONT.FSTAT);

    Text14 outName;
    AskName(" Input Filename To Store Fitted Data > ", outName);
    FRONT.FSTAT = Text3("NEW");
    OpenFileChecked(UNIT_FIT_OUT, outName, FRONT.FSTAT);

    const int c = k - 1 > FIT_MAXCOLS ? FIT_MAXCOLS : k - 1;

    // Count the rows: one value from the start of each record.
    Write(CONSOLE, FREE, " Reading data ....");
    RewindUnit(UNIT_FIT_DATA);
    int r = 0;
    for (;;) {
        float first = 0.0f;
        const int st = ReadWithStatus(UNIT_FIT_DATA, FREE, first);
        if (st < 0) break;
        if (st > 0) return ReadError();
        ++r;
    }
    Write(CONSOLE, "(/,5X,I3,' Rows of Data Read from ',A14,/)", r, dataName);
    if (r > FIT_MAXROWS) {
        Write(CONSOLE, "(9X,'But Only',I3,' Rows Will be Fitted',/)", FIT_MAXROWS);
        r = FIT_MAXROWS;
    }
    if (r < 2) return GiveUp(" At Least Two Rows of Data Are Needed to Fit a Curve !");

    RewindUnit(UNIT_FIT_DATA);
    for (int i = 1; i <= r; ++i)
        if (ReadRow(i, c) != 0) return ReadError();
    CloseUnit(UNIT_FIT_DATA);

    for (int i = 1; i < r; ++i) {
        if (!(t.X(i + 1) > t.X(i))) {
            Write(CONSOLE, FREE, " The First Column Must be Strictly Increasing: Row", i + 1);
            return GiveUp(" The Data Cannot be Fitted !");
        }
    }

    for (;;) {
        Write(CONSOLE, FREE, " Print Data on the Screen ? Y/N > ");
        AskYesNo();
        if (FRONT.ANS == "N") break;
        if (FRONT.ANS == "Y") {
            for (int i = 1; i <= r; ++i) {
                BeginWrite(CONSOLE, FREE);
                WriteReal(t.X(i));
                for (int m = 1; m <= c; ++m) WriteReal(t.Y(i, m));
                EndWrite();
            }
            break;
        }
    }

    Write(CONSOLE, FREE);
    int p = 0;
    for (;;) {
        Write(CONSOLE, FREE, " Number of Data_Points Wanted ? ... ");
        Read(CONSOLE, FREE, p);
        if (p > r) break;
        Write(CONSOLE, FREE, " Too Little Points !");
    }

    t.NROWS = r;
    t.NYCOLS = c;
    t.NPOINTS = p;
    return true;
}

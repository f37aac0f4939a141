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

// The columns to read from each record of the data file, the abscissa
// included: at least 1.
int AskColumns() {
    int k = 0;
    for (;;) {
        Write(CONSOLE, FREE, " How Many Columns to Read ? ... ");
        Read(CONSOLE, FREE, k);
        if (k >= 1) return k;
        Write(CONSOLE, FREE, " At Least One Column (The Abscissa) Must be Read !");
    }
}

// Counts the records of the data file, one value from the start of each;
// -1 when a record cannot be read.
int CountRows() {
    Write(CONSOLE, FREE, " Reading data ....");
    RewindUnit(UNIT_FIT_DATA);
    int r = 0;
    for (;;) {
        float first = 0.0f;
        const int st = ReadWithStatus(UNIT_FIT_DATA, FREE, first);
        if (st < 0) return r;
        if (st > 0) return -1;
        ++r;
    }
}

// Rows 1..r of the table with c ordinates each; false when a row cannot be
// read.
bool ReadTable(int r, int c) {
    RewindUnit(UNIT_FIT_DATA);
    for (int i = 1; i <= r; ++i)
        if (ReadRow(i, c) != 0) return false;
    CloseUnit(UNIT_FIT_DATA);
    return true;
}

// The first row whose abscissa is not above the one before, or 0.
int FirstRowNotAscending(int r) {
    for (int i = 1; i < r; ++i)
        if (!(FITDATA.X(i + 1) > FITDATA.X(i))) return i + 1;
    return 0;
}

// The table on the screen, when the user asks for it.
void OfferToPrint(int r, int c) {
    for (;;) {
        Write(CONSOLE, FREE, " Print Data on the Screen ? Y/N > ");
        AskYesNo();
        if (FRONT.ANS == "N") return;
        if (FRONT.ANS == "Y") break;
    }
    for (int i = 1; i <= r; ++i) {
        BeginWrite(CONSOLE, FREE);
        WriteReal(FITDATA.X(i));
        for (int m = 1; m <= c; ++m) WriteReal(FITDATA.Y(i, m));
        EndWrite();
    }
}

// The number of output intervals: more than the r rows.
int AskPoints(int r) {
    Write(CONSOLE, FREE);
    int p = 0;
    for (;;) {
        Write(CONSOLE, FREE, " Number of Data_Points Wanted ? ... ");
        Read(CONSOLE, FREE, p);
        if (p > r) return p;
        Write(CONSOLE, FREE, " Too Little Points !");
    }
}

}  // namespace

bool CurveFitDialog() {
    // The end condition and the limits of the table.
    Write(CONSOLE,
          "(/,/,5X,'Three types of ends condition could be used:',/,/,15X,'1. Linear ',/,/,15X,"
          "'2. Parabolic ',/,/,15X,'3. Cubic ',/)");
    ChooseOption(OPTS.ENDCOND, 1, 3);
    Write(CONSOLE,
          "(/,/,5X,'The Maximum Number of Rows of data that',' can be fitted',/,5X,'is limited to ',I2,' Rows',/)",
          FIT_MAXROWS);
    Write(CONSOLE,
          "(/,5X,'The Maximum Number of Columns that are allowed',/,5X,'is limited to ',I2,"
          "' Columns (Including The First',' Column)',/,/)",
          99);

    // The data file, its columns, and the file of the fitted curves.
    Text14 dataName;
    AskName(" Input Filename Containing Data > ", dataName);
    const int k = AskColumns();
    FRONT.FSTAT = Text3("OLD");
    OpenFileChecked(UNIT_FIT_DATA, dataName, FRONT.FSTAT);
    Text14 outName;
    AskName(" Input Filename To Store Fitted Data > ", outName);
    FRONT.FSTAT = Text3("NEW");
    OpenFileChecked(UNIT_FIT_OUT, outName, FRONT.FSTAT);
    const int c = k - 1 > FIT_MAXCOLS ? FIT_MAXCOLS : k - 1;

    // The rows, at most 99 of them, at least two.
    int r = CountRows();
    if (r < 0) return ReadError();
    Write(CONSOLE, "(/,5X,I3,' Rows of Data Read from ',A14,/)", r, dataName);
    if (r > FIT_MAXROWS) {
        Write(CONSOLE, "(9X,'But Only',I3,' Rows Will be Fitted',/)", FIT_MAXROWS);
        r = FIT_MAXROWS;
    }
    if (r < 2) return GiveUp(" At Least Two Rows of Data Are Needed to Fit a Curve !");

    // The table, with abscissae that rise.
    if (!ReadTable(r, c)) return ReadError();
    if (const int row = FirstRowNotAscending(r); row > 0) {
        Write(CONSOLE, FREE, " The First Column Must be Strictly Increasing: Row", row);
        return GiveUp(" The Data Cannot be Fitted !");
    }

    // The table on the screen, and the number of output intervals.
    OfferToPrint(r, c);
    const int p = AskPoints(r);
    FITDATA.NROWS = r;
    FITDATA.NYCOLS = c;
    FITDATA.NPOINTS = p;
    return true;
}

// The entry routine of the front end: banner, main menu, data menu and input
// options, with the refusals that keep a run from starting without a usable
// model.
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "recordio/recordio.h"

FrontEndState FRONT;

namespace {

// Where a menu hands control next.
enum class Next { MainMenu, DataMenu, Driver };

// Fields reset at every call, so each run starts from the stored model and
// lists and opens only the files named for it.
void ResetAtEntry() {
    FRONT.HAVEDATA = 0;
    FRONT.HAVEUNB = 0;
    OPTS.NFILES = 0;
    OPTS.NPEDFILES = 0;
    OPTS.STABOPT = 0;
    for (int i = 1; i <= OPTS.PLOTFILE.size(); ++i) OPTS.PLOTFILE(i) = Text14();
    for (int i = 1; i <= OPTS.PEDFILE.size(); ++i) OPTS.PEDFILE(i) = Text14();
    for (int i = 1; i <= OPTS.BRGFILE.size(); ++i) OPTS.BRGFILE(i) = Text14();
    OPTS.OUTFILE = Text14();
}

// Refusal of data-menu options 2 to 4 without a model.
void RefuseWithoutData(const char* message) {
    Beep(2);
    Write(CONSOLE, FREE, message);
    Write(CONSOLE, FREE, "    CHOOSE OPTION 1 OF NEXT MENU");
    PressEnterToContinue();
}

void SaveOrRefuse() {
    if (FRONT.HAVEDATA == 0)
        RefuseWithoutData(" *** THERE IS NO DATA TO SAVE ! ***");
    else
        SaveModelDialog();
}

// Input options; every choice but "Check Directory" ends in the data menu.
void InputOptions() {
    for (;;) {
        Write(CONSOLE,
              "(/,/,/,/,/,20X,'I N P U T     O P T I O N S',/,20X,'---------------------------',/,/,/,/,2X,"
              "'1. File Input',/,/,2X,'2. Keyboard Input',/,/,2X,'3. Check Directory',/,/,2X,"
              "'4. Return to Previous Menu',/,/)");
        ChooseOption(FRONT.INPOPT, 1, 4);
        switch (FRONT.INPOPT) {
            case 1:
                FRONT.FSTAT = Text3("OLD");
                FileInputDialog(false);
                return;
            case 2:
                KeyboardEntry();
                return;
            case 3:
                Write(CONSOLE, FREE, " Type DIR [directory name] <Enter>");
                PauseForCommand(" Press <enter> when done ...");
                break;
            default:
                return;
        }
    }
}

// Data menu 5: refuse a run without a usable model, else hand over to the
// option dialogs of the chosen analysis.
Next RunMainMenuOption() {
    if (FRONT.HAVEDATA == 0) {
        Beep(2);
        Write(CONSOLE, FREE, " CANNOT RUN MAIN MENU OPTION WITHOUT DATA !");
        PressEnterToContinue();
        return Next::DataMenu;
    }
    // A typed or edited model runs only from its file, which the driver
    // re-reads after every run.
    if ((FRONT.INPOPT == 2 || FRONT.EDITOPT > 0) && FRONT.SAVED == 0) {
        Beep(1);
        Write(CONSOLE, FREE, " Please Save Your Input Data First !");
        PressEnterToContinue();
        return Next::DataMenu;
    }
    if (OPTS.MAINOPT == 6) {
        Write(CONSOLE, FREE, " ACTIVE CONTROL IS NOT AVAILABLE NOW");
        return Next::MainMenu;
    }
    if (OPTS.MAINOPT == 2) Write(CONSOLE, FREE, "  Damped Eigenvalues Solver");
    if (OPTS.MAINOPT == 3) Write(CONSOLE, FREE, "  Both Damped & Undamped Solutions");
    switch (RunAnalysisDialog()) {
        case DialogResult::Run:
            return Next::Driver;
        case DialogResult::MainMenu:
            return Next::MainMenu;
        default:
            return Next::DataMenu;
    }
}

Next DataMenu() {
    for (;;) {
        if (FRONT.REREAD == 1) {
            // After a run the stored model is read again without asking.
            FRONT.INPOPT = 1;
            FRONT.FSTAT = Text3("OLD");
            FileInputDialog(true);
            continue;
        }
        Write(CONSOLE,
              "(/,/,/,/,/,20X,'D A T A    M E N U',/,20X,17('-'),/,/,/,2X,'1. Input/Read Data',/,/,2X,"
              "'2. Print Data on the Screen',/,/,2X,'3. Save Data in a File',/,/,2X,'4. Edit Data',/,/,2X,"
              "'5. Run Main Menu Option',/,/,2X,'6. Return to Main Menu',/)");
        ChooseOption(FRONT.DATAOPT, 1, 6);
        switch (FRONT.DATAOPT) {
            case 1:
                InputOptions();
                break;
            case 2:
                if (FRONT.HAVEDATA == 0)
                    RefuseWithoutData(" *** THERE IS NO DATA TO PRINT ! ****");
                else
                    ListModel();
                break;
            case 3:
                SaveOrRefuse();
                break;
            case 4:
                if (FRONT.HAVEDATA == 0)
                    RefuseWithoutData(" *** THERE IS NO DATA TO EDIT ! ***");
                else
                    DataEditor();
                break;
            case 5: {
                Next next = RunMainMenuOption();
                if (next != Next::DataMenu) return next;
                break;
            }
            default:
                return Next::MainMenu;
        }
    }
}

// Main menu 8. Returns only when the user chose to save first; the caller
// then continues in the data menu.
void ExitFlow() {
    if (FRONT.EDITOPT > 0 && FRONT.SAVED == 0) {
        for (;;) {
            Write(CONSOLE, FREE, "CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >");
            AskYesNo();
            if (FRONT.ANS == "Y") {
                SaveOrRefuse();
                return;
            }
            if (FRONT.ANS == "N") break;
        }
    }
    StopRun(" done ...");
}

}  // namespace

void RunFrontEnd() {
    ResetAtEntry();
    Write(CONSOLE,
          "(/,/,/,/,/,/,20X,'^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^^',/,20X,"
          "'R O T O R   D Y N A M I C S   A N A L Y S I S',/,20X,"
          "'vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv')");
    for (;;) {
        Write(CONSOLE,
              "(/,/,/,/,/,20X,'           M A I N    M E N U',/,20X,'           ------------------',/,/,/,10X,"
              "'1.Solve the Undamped Eigenvalue Problem Only',/,10X,'2.Solve for Damped Eigenvalues Only',/,10X,"
              "'3.Solve Both Damped & Undamped Eigenvalue Problems',/,10X,"
              "'4.Perform a Stability Analysis of the system',/,10X,"
              "'5.Obtain the Steady-State Unbalance Response',/,10X,'6.Active Control Simulation',/,10X,"
              "'7.Data Curve Fitting By Cubic Spline',/,10X,'8.EXIT',/)");
        ChooseOption(OPTS.MAINOPT, 1, 8);
        switch (OPTS.MAINOPT) {
            case 1:
                Write(CONSOLE,
                      "(/,/,/,20X,'The Symmetric Part Of The Stiffness Matrix',/,20X,"
                      "'Is Considered When Solving the Undamped',/,20X,"
                      "'  Eigenvalue Problem By Jacobi Method',/,/)");
                PressEnterToContinue();
                break;
            case 2:
                Write(CONSOLE, "(/,/,/,20X,'Damped Eigenvalue Problem',/,/)");
                break;
            case 3:
                Write(CONSOLE, "(/,/,/,20X,'Both Damped & Undamped Eigenvalue Problems',/,/)");
                break;
            case 4:
                Write(CONSOLE, "(/,/,/,20X,'Stability Analysis',/,/)");
                break;
            case 5:
                Write(CONSOLE, "(/,/,/,20X,'Steady-State Unbalance Response',/,/)");
                break;
            case 6:
                Write(CONSOLE, "(/,/,/,20X,'Active Control Simulation',/,/)");
                break;
            case 7:
                Write(CONSOLE, "(/,/,/,20X,'The Data Will be Fitted Using',/,20X,'a Cubic Spline Interpolation',/,/)");
                if (CurveFitDialog()) return;
                continue;
            default:
                ExitFlow();  // returns only after the save offered there
                break;
        }
        if (DataMenu() == Next::Driver) return;
    }
}

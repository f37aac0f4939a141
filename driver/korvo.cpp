// Korvo: interactive rotor-dynamics analysis. The main program loop.
#include <csignal>
#include <iostream>

#include "analyses/analyses.h"
#include "driver/analysis_run.h"
#include "inputs99/analysis_options.h"
#include "inputs99/front_end.h"
#include "recordio/recordio.h"

int main(int argc, char** argv) {
    // A closed console pipe is a write error of the run, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    SetCommandLine(argc, argv);
    try {
        // The program ends only through the stop of the main menu's exit or a
        // run-time error; both arrive here as exceptions.
        for (;;) {
            RunFrontEnd();
            if (OPTS.MAINOPT == 7) {
                RunCurveFit();
            } else {
                RunAnalysis();
            }
        }
    } catch (const ProgramStop& stop) {
        return stop.status;
    } catch (const RunTimeError& error) {
        ShutDownUnits();
        std::cout.flush();
        std::cerr << error.what();
        std::cerr.flush();
        return 1;
    }
}

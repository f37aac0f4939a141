// Korvo: interactive rotor-dynamics analysis. The main program loop.
#include <csignal>
#include <iostream>
#include <string>

#include "analyses/analyses.h"
#include "driver/analysis_run.h"
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "recordio/recordio.h"

#ifndef KORVO_VERSION
#define KORVO_VERSION "unknown"
#endif

namespace {

// The text of --help, one console record per line. The environment
// variables the program reads are listed under "Environment:".
const char* const kHelp[] = {
    "Usage: korvo [FILE...]",
    "       korvo --help | --version",
    "",
    "Korvo is an interactive rotor-dynamics analysis program. It reads every",
    "answer from standard input, so a session can be replayed from a file:",
    "    korvo < answers.txt",
    "Each FILE names, in order, a file whose name is left blank in the dialogue.",
    "",
    "Environment:",
    "  KORVO_THREADS   threads that compute the speed steps of the stability and",
    "                  unbalance sweeps: a whole number from 1 to 256 (1: one",
    "                  step at a time). Unset or any other value: every hardware",
    "                  thread of the machine. The results are the same bytes.",
    "  COMSPEC         command interpreter for a command typed at a pause",
    "",
    "Pictures of the model and result files: korvo-plot --help",
};

// --help and --version, given as the only argument, print and end the
// program; any other argument is a file name.
bool PrintInformation(int argc, char** argv) {
    if (argc != 2) return false;
    const std::string a = argv[1];
    if (a == "--version") {
        Write(CONSOLE, FREE, "korvo " KORVO_VERSION);
    } else if (a == "--help") {
        for (const char* line : kHelp) Write(CONSOLE, FREE, line);
    } else {
        return false;
    }
    CloseUnit(CONSOLE);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed console pipe is a write error of the run, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file grown beyond the size limit of the process.
    std::signal(SIGXFSZ, SIG_IGN);
    if (PrintInformation(argc, argv)) return 0;
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

#pragma once
// korvo-plot: pictures and CSV tables of korvo's model files and result
// files.
#include <string>
#include <vector>

struct PlotOptions {
    std::string command;              // rotor, campbell, modes, response, orbit, coefficients, animation, fit
    std::vector<std::string> inputs;  // the files named after the command
    std::string output;               // -o; empty: the first input's name with .png, in the current folder
    std::string csv;                  // --csv
    std::string report, model, data;  // --report (modes), --model (units), --data (fit: the fitted points)
    std::vector<std::string> phases, amplitudes;  // response: files taken as phases / amplitudes
    std::string title;                // --title: replaces the picture title
    int values = 0;                   // --values: values per record
    bool log = false;                 // response: logarithmic amplitude axis
    bool haveSpeed = false;           // animation: --speed given
    double speed = 0;
    int width = 800, height = 500;
};

// Runs one command: writes the picture(s) and the CSV table, each complete
// or not at all. Returns the lines to print on standard output (what was
// drawn, and the values marked); warnings are added to `warnings`. Refusals
// are thrown as PlotError.
std::vector<std::string> RunPlotCommand(const PlotOptions& o, std::vector<std::string>& warnings);

// Number of input files a command takes: exactly `min` when min == max,
// else at least `min` (max < 0: no upper bound). False for an unknown command.
bool CommandInputs(const std::string& command, int& min, int& max);

#pragma once
// Reading the numeric files that korvo writes: free-format records (which
// wrap after four reals), formatted coefficient records, orbit records with
// timing marks, the animation file with its header, and model files. Every
// number is read by the project's record reader.
#include <stdexcept>
#include <string>
#include <vector>

#include "model/rotor_model.h"

// A refusal of korvo-plot: the message goes to standard error, exit status 2.
struct PlotError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The values of one line of a file.
struct NumberLine {
    int number = 0;  // line number, from 1
    std::vector<float> values;
};

// The numeric lines of a file (blank lines left out). Empty values (two
// commas) read as NaN. A missing, unreadable or empty file and a line that is
// not a list of numbers are refused. The first `skip` lines are passed over.
std::vector<NumberLine> ReadNumberLines(const std::string& path, int skip = 0);

// Values per record of a file of free-format records, from the number of
// values on each line and the first value of each line (the rule is given
// at the top of plot_data.cpp). forced > 0 is the number given with
// --values; the lines are checked against it. Refusals say what was
// expected.
int InferValuesPerRecord(const std::vector<int>& counts, const std::vector<float>& first, int forced);

// A file of records grouped by InferValuesPerRecord.
struct RecordTable {
    std::string path;
    int values = 0;
    std::vector<std::vector<float>> rows;
    int nonFinite = 0;  // values that are NaN or infinite
};
RecordTable ReadRecords(const std::string& path, int forced = 0);

// Orbit file: one record per line, x and y, and at the timing marks the
// mark number.
struct Orbit {
    std::string path;
    std::vector<float> x, y;
    std::vector<std::pair<int, int>> marks;  // (point index, mark number)
};
Orbit ReadOrbit(const std::string& path);

// Animation file: header (title, stations, element lengths), then one record
// per speed: the speed and, per station, amplitude x, phase x, amplitude y,
// phase y.
struct Animation {
    std::string title;
    std::vector<float> z;  // axial position of each station
    std::vector<std::vector<float>> rows;
    int nonFinite = 0;
};
Animation ReadAnimation(const std::string& path);

// Model data file, read by the model layer's reader.
void ReadModelFile(const std::string& path, RotorModel& m);

// Undamped natural frequencies (RPM) and the length unit of a run report;
// empty frequencies when the report has no mode table.
struct ReportInfo {
    std::vector<float> freqRpm;
    int iunits = 0;  // 1 English, 2 metric, 0 unknown
};
ReportInfo ReadReport(const std::string& path);

// korvo-plot: pictures and CSV tables of korvo's model and result files.
#include <cstdlib>
#include <iostream>
#include <string>

#include "plots/plot_data.h"
#include "plots/plots.h"
#include "recordio/recordio.h"

#ifndef KORVO_VERSION
#define KORVO_VERSION "unknown"
#endif

namespace {

const char* const kUsage =
    "Usage: korvo-plot COMMAND FILE... [options]\n"
    "\n"
    "Commands:\n"
    "  rotor MODEL                 the rotor model drawn along its axis\n"
    "  campbell REAL IMAG          whirl frequencies and log. decrements against speed\n"
    "                              (the stability eigenvalue files)\n"
    "  modes FILE...               mode shapes along the shaft (--report REPORT: frequencies)\n"
    "  response FILE...            unbalance response against speed (station or pedestal files)\n"
    "  orbit FILE...               orbits with timing marks and whirl direction\n"
    "  coefficients STIFF DAMP     bearing stiffness and damping against speed\n"
    "  animation FILE              whirl orbits of every station, one picture per speed\n"
    "                              (or one animated GIF with -o NAME.gif)\n"
    "  fit FILE                    the fitted curves of the curve-fitting tool\n"
    "\n"
    "Options:\n"
    "  -o FILE          picture to write: .png (default), .svg, .pdf, .gif (animation);\n"
    "                   default: the first file's name with .png, in the current folder\n"
    "  --csv FILE       also write the data as a CSV table (header row with units)\n"
    "  --values N       values per record (otherwise inferred from the layout)\n"
    "  --model MODEL    model file, for the units (response, orbit, coefficients, animation)\n"
    "  --report REPORT  run report, for the mode frequencies (modes)\n"
    "  --log            logarithmic amplitude axis (response)\n"
    "  --phases FILE    a response file of phases; --amplitudes FILE: of amplitudes\n"
    "                   (otherwise a file with a negative value holds phases)\n"
    "  --data FILE      the data points that were fitted (fit)\n"
    "  --speed RPM      only the record nearest this speed (animation)\n"
    "  --size WxH       picture size in pixels (default 800x500)\n"
    "  --title TEXT     picture title\n"
    "  --help, --version\n"
    "\n"
    "Rendering needs gnuplot (Debian package gnuplot-nox); KORVO_GNUPLOT names\n"
    "another gnuplot program. Exit status 0, or 2 with a message on refusal.\n";

bool NeedsValue(const std::string& a) {
    return a == "-o" || a == "--output" || a == "--csv" || a == "--values" || a == "--model" || a == "--report" ||
           a == "--phases" || a == "--amplitudes" || a == "--data" || a == "--speed" || a == "--size" ||
           a == "--title";
}

int Number(const std::string& opt, const std::string& v, int lo, int hi) {
    size_t used = 0;
    int n = 0;
    try {
        n = std::stoi(v, &used);
    } catch (...) {
        used = 0;
    }
    if (used != v.size() || n < lo || n > hi)
        throw PlotError(opt + " " + v + ": expected a whole number from " + std::to_string(lo) + " to " +
                        std::to_string(hi));
    return n;
}

PlotOptions Parse(int argc, char** argv) {
    PlotOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (NeedsValue(a)) {
            if (i + 1 >= argc) throw PlotError(a + ": a value must follow");
            const std::string v = argv[++i];
            if (a == "-o" || a == "--output") o.output = v;
            else if (a == "--csv") o.csv = v;
            else if (a == "--values") o.values = Number(a, v, 1, 1000);
            else if (a == "--model") o.model = v;
            else if (a == "--report") o.report = v;
            else if (a == "--phases") o.phases.push_back(v);
            else if (a == "--amplitudes") o.amplitudes.push_back(v);
            else if (a == "--data") o.data = v;
            else if (a == "--title") o.title = v;
            else if (a == "--speed") {
                char* end = nullptr;
                o.speed = std::strtod(v.c_str(), &end);
                if (end == v.c_str() || *end != '\0') throw PlotError(a + " " + v + ": expected a speed in RPM");
                o.haveSpeed = true;
            } else if (a == "--size") {
                const size_t x = v.find('x');
                if (x == std::string::npos) throw PlotError(a + " " + v + ": expected WIDTHxHEIGHT, e.g. 800x500");
                o.width = Number(a, v.substr(0, x), 100, 4000);
                o.height = Number(a, v.substr(x + 1), 100, 4000);
            }
        } else if (a == "--log") {
            o.log = true;
        } else if (a.size() > 1 && a[0] == '-') {
            throw PlotError(a + ": unknown option (korvo-plot --help lists them)");
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            o.inputs.push_back(a);
        }
    }
    int min = 0, max = 0;
    if (o.command.empty()) throw PlotError("no command given (korvo-plot --help lists them)");
    if (!CommandInputs(o.command, min, max))
        throw PlotError(o.command + ": unknown command (korvo-plot --help lists them)");
    const int n = static_cast<int>(o.inputs.size());
    if (o.command == "response" && n + o.phases.size() + o.amplitudes.size() == 0)
        throw PlotError("response: name at least one response file");
    if (n < min || (max >= 0 && n > max))
        throw PlotError(o.command + ": expected " + std::to_string(min) + (max == min ? "" : " or more") +
                        (min == 1 && max == min ? " file" : " files") + ", not " + std::to_string(n));
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "korvo-plot " << KORVO_VERSION << "\n";
            return 0;
        }
    }
    try {
        const PlotOptions o = Parse(argc, argv);
        std::vector<std::string> warnings;
        const std::vector<std::string> summary = RunPlotCommand(o, warnings);
        for (const auto& w : warnings) std::cerr << "korvo-plot: warning: " << w << "\n";
        for (const auto& s : summary) std::cout << s << "\n";
        return 0;
    } catch (const PlotError& e) {
        std::cerr << "korvo-plot: " << e.what() << "\n";
    } catch (const RunTimeError& e) {
        std::cerr << "korvo-plot: " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "korvo-plot: " << e.what() << "\n";
    }
    ShutDownUnits();
    return 2;
}

// Warnings about the results of a run.
#include "report/warnings.h"

#include <string>

#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// Mode numbers as ranges: "1-4, 7, 9-12".
std::string ModeRanges() {
    std::string s;
    int k = 1;
    while (k <= RES.NMODES) {
        if (!RES.UNRELIABLE(k)) {
            ++k;
            continue;
        }
        int last = k;
        while (last < RES.NMODES && RES.UNRELIABLE(last + 1)) ++last;
        if (!s.empty()) s += ", ";
        s += std::to_string(k);
        if (last > k) {
            s += '-';
            s += std::to_string(last);
        }
        k = last + 1;
    }
    return s;
}

}  // namespace

void WriteSpeedTableWarning(int unit) {
    if (RUN.ABOVETABLE == 0 || MODEL.NSPEED < 2) return;
    Write(unit,
          "(2X,'WARNING: The bearing coefficients are extrapolated beyond their',' speed table',/,2X,'(',F8.1,"
          "' to',F8.1,' RPM) to the speed of the run,',F8.1,' RPM.')",
          MODEL.SPEED(1), MODEL.SPEED(MODEL.NSPEED), OPTS.SPEED1);
}

void WriteUndampedWarning(int unit) {
    if (RES.JACOBIERR == 0) return;
    std::string head = " WARNING: The undamped eigenvalue solution did not converge (error code ";
    head += std::to_string(RES.JACOBIERR);
    head += ").";
    Write(unit, FREE, head);
    std::string list = ModeRanges();
    if (list.empty()) {
        Write(unit, FREE, " All modes pass the residual check; the results may still be used.");
        return;
    }
    // Wrapped so that no record exceeds the width of a free-format record.
    std::string line = " Modes with unreliable results: ";
    size_t pos = 0;
    while (pos < list.size()) {
        size_t take = list.size() - pos;
        if (line.size() + take > 76) {
            take = 76 - line.size();
            size_t comma = list.rfind(", ", pos + take);
            if (comma != std::string::npos && comma > pos) take = comma + 1 - pos;
        }
        line += list.substr(pos, take);
        pos += take;
        while (pos < list.size() && list[pos] == ' ') ++pos;
        Write(unit, FREE, line);
        line = "   ";
    }
}

void WriteMassWarning(int unit) {
    if (SYS.MASSSINGULAR == 0) return;
    Write(unit, FREE, " WARNING: The mass matrix is singular (a degree of freedom without mass).");
    Write(unit, FREE, " The damped eigenvalue results of this run are not meaningful.");
}

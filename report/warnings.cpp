// Warnings about the results of a run.
#include "report/warnings.h"

#include <cstdint>
#include <string>
#include <vector>

#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/message.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// The modes of RES.UNRELIABLE as ranges of consecutive numbers.
struct Range {
    int32_t first, last;
};
std::vector<Range> UnreliableRanges() {
    std::vector<Range> ranges;
    for (int k = 1; k <= RES.NMODES; ++k) {
        if (!RES.UNRELIABLE(k)) continue;
        int last = k;
        while (last < RES.NMODES && RES.UNRELIABLE(last + 1)) ++last;
        ranges.push_back({k, last});
        k = last;
    }
    return ranges;
}

// Columns of a range: "7" or "9-12".
int RangeColumns(const Range& r) {
    return NumberColumns(r.first) + (r.last > r.first ? 1 + NumberColumns(r.last) : 0);
}

// The ranges in records of at most 76 columns after the leading blank, ", "
// between them: the first record after its heading, the others indented by
// three columns, each record but the last ending with a comma. As the number
// of ranges in a record varies, its format text is put together here from
// literals and I fields of the columns each number needs, and its items go
// through the item statements of the record formatter.
void WriteRangeList(int unit, const std::vector<Range>& ranges) {
    constexpr int kColumns = 76;
    const std::string heading = " Modes with unreliable results: ", indent = "   ";
    std::size_t k = 0;
    while (k < ranges.size()) {
        const std::string& lead = k == 0 ? heading : indent;
        int used = static_cast<int>(lead.size());
        std::size_t end = k;
        for (; end < ranges.size(); ++end) {
            const int add = (end > k ? 2 : 0) + RangeColumns(ranges[end]);
            if (used + add > kColumns && end > k) break;
            used += add;
        }
        std::string text = "(1X,'" + lead + "'";
        for (std::size_t i = k; i < end; ++i) {
            if (i > k) text += ",', '";
            text += ",I" + std::to_string(NumberColumns(ranges[i].first));
            if (ranges[i].last > ranges[i].first) text += ",'-',I" + std::to_string(NumberColumns(ranges[i].last));
        }
        if (end < ranges.size()) text += ",','";
        text += ")";
        BeginWrite(unit, text.c_str());
        for (std::size_t i = k; i < end; ++i) {
            WriteInteger(ranges[i].first);
            if (ranges[i].last > ranges[i].first) WriteInteger(ranges[i].last);
        }
        EndWrite();
        k = end;
    }
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
    Message("(1X,' WARNING: The undamped eigenvalue solution did not converge (error code ',I*,').')", RES.JACOBIERR)
        .Write(unit);
    const std::vector<Range> ranges = UnreliableRanges();
    if (ranges.empty())
        Write(unit, FREE, " All modes pass the residual check; the results may still be used.");
    else
        WriteRangeList(unit, ranges);
}

void WriteMassWarning(int unit) {
    if (SYS.MASSSINGULAR == 0) return;
    Write(unit, FREE, " WARNING: The mass matrix is singular (a degree of freedom without mass).");
    Write(unit, FREE, " The damped eigenvalue results of this run are not meaningful.");
}

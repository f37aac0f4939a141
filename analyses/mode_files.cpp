// End of the pass of the eigenvalue analyses: the mode-shape files of the
// undamped results, then the run report.
#include "analyses/analyses.h"
#include "analyses/results.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "report/report.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"

void WriteModeShapeFiles() {
    const int nsta = MODEL.NSTA;
    if (nsta < 1 || nsta > MAXROWS) return;
    const int nfiles = OPTS.NFILES < MAXPLOTFILES ? OPTS.NFILES : MAXPLOTFILES;
    // Modes in ascending frequency order, dealt out consecutively: file g
    // receives the next NPERFILE(g) modes. Only computed modes are written.
    int next = 1;
    for (int g = 1; g <= nfiles; ++g) {
        const int count = OPTS.NPERFILE(g) > 0 ? OPTS.NPERFILE(g) : 0;
        int first = next, last = next + count - 1;
        if (last > SYS.NDOF) last = SYS.NDOF;
        next += count;
        const int unit = ResultUnit(g);
        if (!UnitIsOpen(unit)) continue;
        // One record per station: axial position, then the x shape of each mode.
        float z = 0.0f;
        for (int s = 1; s <= nsta; ++s) {
            if (s > 1) z += MODEL.SHAFT(s - 1, 3);
            BeginWrite(unit, FREE);
            WriteReal(z);
            for (int j = first; j <= last; ++j) WriteReal(RES.SHAPE(2 * s - 1, j));
            EndWrite();
        }
    }
}

void EigenEndOfPass() {
    if (OPTS.MAINOPT == 1 || OPTS.MAINOPT == 3) WriteModeShapeFiles();
    WriteRunReport();
}

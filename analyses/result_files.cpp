// Result files of the speed steps and of the eigenvalue analyses: the
// bearing coefficients against speed, the eigenvalues against speed and the
// mode shapes.
#include "analyses/analyses.h"
#include "analyses/result_files.h"
#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

void WriteBearingRecords(float speed, const Array2<float, 198, 4>& k) {
    // Bearings in ascending station order, as the blocks were filled; records
    // go only to coefficient files opened for this run.
    int b = 1;
    for (int s = 1; s <= MODEL.NSTA && b <= MODEL.NBRG; ++s) {
        if (MODEL.BSTA(b) != s) continue;
        if (UnitIsOpen(BrgStiffUnit(b)))
            Write(BrgStiffUnit(b), "(5(G10.3,2X))", speed, k(2 * s - 1, 1), k(2 * s - 1, 2), k(2 * s, 1), k(2 * s, 2));
        if (UnitIsOpen(BrgDampUnit(b)))
            Write(BrgDampUnit(b), "(5(G10.3,2X))", speed, k(2 * s - 1, 3), k(2 * s - 1, 4), k(2 * s, 3), k(2 * s, 4));
        ++b;
    }
}

void WriteEigenvalueRecords(int nsteps) {
    const int np = PlottedModeCount(OPTS);
    for (int i = 1; i <= nsteps; ++i) {
        BeginWrite(UNIT_EIG_REAL, FREE);
        WriteReal(RES.RESTAB(i, 1, 1));
        for (int m = 1; m <= np; ++m) WriteReal(RES.RESTAB(i, m, 2));
        EndWrite();
        BeginWrite(UNIT_EIG_IMAG, FREE);
        WriteReal(RES.RESTAB(i, 1, 1));
        for (int m = 1; m <= np; ++m) WriteReal(RES.RESTAB(i, m, 3));
        EndWrite();
    }
}

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

#pragma once
// The shared storage of the program as at its start.

// Model, analysis options, front-end state, system matrices, run state and
// results back to their start values, the curve-fitting table emptied, and
// the record I/O layer reset (units closed, files kept). Used where several
// sessions run in one process.
void ResetSharedStorage();

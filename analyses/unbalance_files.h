#pragma once
// Result files of the unbalance response (plot options 1 to 10).

// Writes the records of steps 1..nsteps of the pass for OPTS.PLOTOPT:
// station and pedestal files (1 to 8), orbits (9), animation (10).
void WriteUnbalanceFiles(int nsteps);

#include "matrx99/system_matrices.h"

SystemMatrices SYS;

#pragma once
// The stability and unbalance test models and the output parsing helpers,
// under the name the end-to-end tests of the limits include.
#include "tests/support/models.h"

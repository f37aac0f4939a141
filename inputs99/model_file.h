#pragma once
// Reading a model data file without dialogue.
#include <string>

#include "inputs99/rotor_model.h"

// Reads the model records from the start of the connected unit u into m.
// Counts are checked before the tables they size are read, so no table is
// overrun; a broken rule stops the read and is returned as a message (empty
// when the model was read completely; a value that is not a finite number
// refuses the file and names its record). Unreadable values and an early end of
// file end the statement with a run-time error (RunTimeError).
std::string ReadModel(int u, RotorModel& m);

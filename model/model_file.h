#pragma once
// The records of a model data file, written and read without dialogue.
#include "model/message.h"
#include "model/rotor_model.h"

// Reads the model records from the start of the connected unit u into m.
// Counts are checked before the tables they size are read, so no table is
// overrun; a broken rule stops the read and is returned as a message (none
// when the model was read completely; a value that is not a finite number
// refuses the file and names its record). Unreadable values and an early end
// of file end the statement with a run-time error (RunTimeError).
Message ReadModel(int u, RotorModel& m);
// Writes the model records of m to the connected unit u, from its current
// position.
void WriteModel(int u, const RotorModel& m);

#pragma once
// The sections of keyboard entry, shared by keyboard input and the data
// editor. A section asks its screen and its rows and leaves SAVED = 0; the
// caller decides which section follows (the whole entry, the cascade of the
// editor after a change of the number of stations, or one section).
#include <functional>

#include "model/message.h"
#include "recordio/recordio.h"

// Tables whose rows stand at stations.
enum class StationTable { Disc, Bearing, Pedestal, AddedWeight };

// Section 1: title, counts (with the size limit of the code), material.
void EnterHeader();
// Sections 2 to 9.
void EnterShaftElements();
void EnterDiscs();
void EnterBearings();
void EnterPedestals();  // repeated until the pedestal-at-bearing rule holds
void EnterPedestalCoefficients();
void EnterAddedWeights();
void EnterBearingCoefficients();
void EnterUnbalance();
// The material screen of section 1 on its own.
void EnterMaterial();

// Full entry from section `first` (1, or 7 after a cascade that removed the
// pedestals) to the end: the model is then complete (HAVEDATA = 1).
void RunFullEntry(int first);

// Asks a count after writing its prompt (a format text; AskCountFree: a text
// written in free format) until `refusal` returns no message for it; each
// refused answer is followed by that message. `current` is kept for an empty
// answer.
using CountCheck = std::function<Message(int)>;
int AskCount(FormatText<> prompt, int current, const CountCheck& refusal);
int AskCountFree(const char* prompt, int current, const CountCheck& refusal);
// Refusal of a count n outside low..high (none when it lies inside).
Message RangeRefusal(const char* what, int n, int low, int high);
// Refusals of the counts of a model whose NSTA and NBRG are set: discs,
// bearings and added weights hold at most one row per station, pedestals
// stand under bearings.
Message DiscCountRefusal(int n);
Message BearingCountRefusal(int n);
Message PedestalCountRefusal(int n);
Message AddedWeightCountRefusal(int n);

// Number of rows of a station table, and its station of row i.
int StationCount(StationTable t);
int& StationOf(StationTable t, int i);
// Lowest and highest station that row i may take: above the row before it,
// leaving one station for every later row.
int StationLow(StationTable t, int i);
int StationHigh(StationTable t, int i);
// True when every row of the table lies in 1..NSTA, strictly ascending.
bool StationsInOrder(StationTable t);
// Refusal of a station typed for row i.
void RefuseStation(StationTable t, int i);

// The relocation prompts of the editor ("Old location of ... Input New
// Location") for rows first..last of a table.
void RelocateRows(StationTable t, int first, int last);

// The pedestal-at-bearing rule after a change that may break it: when it
// fails, the message, the wait and the whole pedestal section follow until
// it holds.
void EnsurePedestalRule();

// HAVEUNB from the unbalance amplitudes of stations 1..NSTA.
void UpdateHaveUnbalance();

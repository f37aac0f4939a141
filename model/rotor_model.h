#pragma once
// The rotor as the user describes it: fixed tables of 99 rows, 1-based.
#include "model/constants.h"
#include "model/message.h"
#include "recordio/text.h"
#include "subs99/arrays.h"

struct RotorModel {
    Text50 TITLE;
    int NSTA = 0, NDISC = 0, NBRG = 0, NPED = 0, NCM = 0;
    int IUNITS = 1;  // 1 English, 2 metric
    int ISPARE = 0;  // kept with IUNITS in the model file, used by nothing
    int NSPEED = 1;  // bearing-coefficient data sets; 1 = constant coefficients
    Array2<float, 99, 5> SHAFT;  // O.D, I.D, Length, Inertia, Weight
    Vec<int, 99> DSTA;
    Array2<float, 99, 6> DISC;  // O.D, I.D, Thickness, Weight, Polar, Transverse
    Vec<int, 99> BSTA;
    Vec<float, 99> BWT;
    Vec<int, 99> PSTA;
    Vec<float, 99> PWT;
    Array2<float, 99, 4> PEDC;  // Kxx, Kyy, Cxx, Cyy
    Vec<int, 99> WSTA;
    Vec<float, 99> WWT;
    Vec<float, 99> SPEED;
    Array3<float, 99, 99, 8> BCOEF;  // (set, bearing, Sxx Sxy Syx Syy Cxx Cxy Cyx Cyy)
    Vec<float, 99> UNBAMP, UNBPHS;
    float E = 0.0f, Rho = 0.0f;
};

extern RotorModel MODEL;

// Degrees of freedom of the finite-element system of m: four per station
// (x, y, rotation about x, rotation about y), two per pedestal.
inline int NumberOfDofs(const RotorModel& m) { return 4 * m.NSTA + 2 * m.NPED; }

// Values derived from the geometry, with rho the weight density: the weight
// of an annulus of outer and inner diameter od, id and length (a shaft
// element) or thickness (a disc), and a disc's polar and transverse mass
// moments from its weight (weight x length**2). Keyboard entry fills in a
// value typed as 0 (Entry), the matrix set-up a value at or below its
// threshold (SetUp); the two evaluate the weight and the transverse moment
// in a different order, whose single-precision results differ in the last
// bit for about a third of all inputs, so each keeps its own.
enum class Evaluation { Entry, SetUp };
float AnnulusWeight(float od, float id, float length, float rho, Evaluation e);
float DiscPolarMoment(float od, float id, float weight);
float DiscTransverseMoment(float od, float id, float thickness, float weight, Evaluation e);

// Empty when the counts of m respect the limits of the tables (every count
// within 0..99, at least 2 stations, 2*NSTA + NPED <= 198), otherwise a
// message naming the limit that is broken.
Message ModelLimitViolation(const RotorModel& m);
// Empty when the stations of discs, bearings, pedestals and added weights lie
// in 1..NSTA, strictly ascending within each table, otherwise a message
// naming the entry out of order.
Message ModelStationViolation(const RotorModel& m);
// With speed-dependent coefficients the speeds of the table must ascend
// strictly (the coefficients are fitted by splines over them): the first
// speed j that is not above speed j - 1, or 0.
int SpeedOutOfOrder(const RotorModel& m);
// The pedestal-at-bearing rule: walking the bearings in order and advancing
// through the pedestal list whenever the current pedestal's station equals
// the current bearing's station matches all NPED pedestals.
bool PedestalsAtBearings(const RotorModel& m);
// Empty when MODEL can be analysed, otherwise the message that refuses it:
// the limits and the stations above, element lengths that are positive,
// speeds of the speed table that ascend.
Message ModelAnalysisRefusal();

#pragma once
// Quantities read off the result files: whirl curves followed by continuity,
// the synchronous (1X) crossings, the onset of instability, orbit direction
// and response peaks.
#include <vector>

// The eigenvalues kept at one speed step: real parts (1/s) and imaginary
// parts (rad/s).
struct EigenStep {
    double speed = 0;  // RPM
    std::vector<double> re, im;
};

double WhirlRpm(double im);               // |im| in RPM
double LogDecrement(double re, double im);  // -2 pi re / |im|

// A whirl curve: the index of its eigenvalue at consecutive steps from
// `first` on.
struct WhirlCurve {
    int first = 0;
    std::vector<int> index;
};

// Joins the eigenvalues of consecutive steps into curves: pairs are taken
// nearest first (distance in the complex plane, which is the whirl frequency
// unless frequencies coincide) and only when unambiguous, i.e. no other
// eigenvalue of either step lies within twice that distance (eigenvalues
// equal to the partner do not count). Every eigenvalue belongs to exactly
// one curve; one that is not joined starts a new curve.
std::vector<WhirlCurve> FollowModes(const std::vector<EigenStep>& steps);

// A point where a whirl frequency equals the rotor speed (a critical speed).
struct Crossing {
    double speed = 0;  // RPM, = whirl frequency
};
// Crossings of the 1X line, found on the sorted frequencies of each step (so
// they do not depend on how the curves are joined), interpolated linearly
// between steps; crossings less than half a step apart are one.
std::vector<Crossing> SynchronousCrossings(const std::vector<EigenStep>& steps);

// The first speed at which the smallest logarithmic decrement of a step
// falls to zero, interpolated between the last step above zero and the
// first at or below it. False when every step is stable or the first one is
// already unstable (then speed is that step's).
bool OnsetOfInstability(const std::vector<EigenStep>& steps, double& speed);

// Twice the signed area swept by the points in order: positive when the
// orbit runs from +x towards +y (the direction of rotation, forward whirl).
double SweptArea(const std::vector<float>& x, const std::vector<float>& y);

// Indices of the peaks of a response curve: maxima inside the sweep (not at
// its ends) that stand at least 1.5 times above the higher of the two lowest
// values between them and the nearest higher point on either side; at most
// `most` of them, the most prominent first.
std::vector<int> Peaks(const std::vector<double>& y, int most);

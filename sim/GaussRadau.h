// Adaptive 15th-order Gauss–Radau integrator for second-order systems x'' = a(x)
// (Everhart 1985; step-size control after Rein & Spiegel 2015).
//
// The integrator knows nothing of bodies: it advances packed coordinates (x, y, z of
// each of `count` points) and asks the caller for accelerations at trial positions.
// Its record keeps the coefficients of the last step between calls so the next
// step starts from a good prediction; nothing is allocated once it has been
// restarted for a given point count.
#pragma once
#include <cstdint>
#include <vector>

// Writes the accelerations of all `count` points at `pos` into `acc` (3·count each).
using GaussRadauAccelerationFn = void (*)(void* context, int32_t count, const double* pos, double* acc);

constexpr double kGaussRadauDefaultEpsilon = 1e-9;
constexpr int kGaussRadauNodes = 8;  // h = 0 plus seven interior spacings
constexpr int kGaussRadauOrders = 7;  // b0..b6 of the acceleration's series, g1..g7
extern const double kGaussRadauSpacing[kGaussRadauNodes];

struct GaussRadauStateStruct {
    int32_t count = 0;
    // Precision parameter of the step-size rule; 0 or less keeps the step fixed at
    // `fixedStep` (or the whole advance when that is 0).
    double epsilon = kGaussRadauDefaultEpsilon;
    double fixedStep = 0.0;
    // Shortest substep, as a fraction of one advance, so that a singular encounter
    // (bodies passing through each other) cannot stall the caller.
    double minStepFraction = 1e-5;
    // Relative size of b6 below which rounding hides it (see GaussRadauB6NoiseGain);
    // the step-size rule never aims below it. Set by the caller, 0 = no floor.
    double roundingFloor = 0.0;

    // Set when the accelerations depend on the velocities too: then trialVel holds the
    // velocities that belong to the positions of every acceleration call.
    bool velocityDependent = false;

    // Positions and velocities, read and written by the caller around each advance,
    // with the Kahan compensation terms that carry their lost low-order bits.
    std::vector<double> pos, vel, posCarry, velCarry;

    double nextStep = 0.0;      // proposed length of the next substep, 0 = none yet
    double lastStepDone = 0.0;  // length of the last accepted substep
    bool hasCoefficients = false;  // b holds the last accepted step's coefficients
    bool hasPrediction = false;    // predicted holds what that step was started from

    int32_t lastSubsteps = 0;  // accepted substeps in the last advance
    int32_t lastRejected = 0;  // rejected trial steps in the last advance
    int32_t lastIterations = 0;

    // Working arrays, 3·count each.
    std::vector<double> startPos, startVel, startAcc, trialPos, trialVel, nodeAcc;
    // The series coefficients, kGaussRadauOrders consecutive ones per component.
    std::vector<double> b, g, predicted;
};

// Factor by which independent errors in the node accelerations reach b6: a relative
// acceleration error δ puts a floor of about δ times this under the error estimate.
double GaussRadauB6NoiseGain();

// Sizes the record for `count` points and forgets every coefficient and
// compensation term. Positions and velocities are zeroed; the caller fills them.
void RestartGaussRadau(GaussRadauStateStruct& s, int32_t count);

// Forgets the coefficient history only (the motion was changed from outside, e.g.
// by thrust); keeps the proposed step size.
void ForgetGaussRadauHistory(GaussRadauStateStruct& s);

// Advances s.pos and s.vel by exactly `duration` in as many substeps as the error
// control asks. `firstAcc`, when not null, holds the accelerations at the current
// positions and saves one evaluation. Returns the number of accepted substeps.
int32_t AdvanceGaussRadau(GaussRadauStateStruct& s, double duration, GaussRadauAccelerationFn accel,
                          void* context, const double* firstAcc = nullptr);

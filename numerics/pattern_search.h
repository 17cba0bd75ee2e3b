#pragma once
// The Hooke-Jeeves pattern search shared by the frequency-domain fits: vesk's in double
// precision and the console program's in single precision, each with its own criterion.
// Method: R. Hooke and T. A. Jeeves, "Direct search solution of numerical and statistical
// problems", J. ACM 8 (1961).
#include <limits>
#include <vector>

// What a criterion gives for one point: its value F (smaller is better; an inadmissible point
// gives a value that no admissible one exceeds), the white-noise variance A that goes with it,
// and the criterion's own status, handed back untouched with the point returned.
template <typename Real>
struct PatternValue {
    Real F;
    Real A;
    int status;
};

// Minimises criterion(point) over the first K coordinates of point(1..dim) (the others stay as
// given): exploration by steps of +h and -h on each coordinate in turn (both always tried, each
// against the best value so far, a coordinate moved keeping its move for the next ones), pattern
// moves that reflect the old base through the point explored around, a return to the base when a
// pattern point explored gives nothing below the base, and halving of h when an exploration finds
// nothing; the search stops when it would halve below 0.4 times the first step (the second
// halving). The point returned is the last base, with its value (a lower value met at the final
// pattern point itself is not taken).
//   dim       (in)          length of point, dim >= K >= 0
//   K         (in)          number of leading coordinates varied
//   point     (in/out, dim) start; the result on return
//   h         (in/out)      the first step, h > 0; the last step on return
//   criterion (in)          PatternValue<Real> criterion(const Real* point), point(1..dim)
// Returns the result's PatternValue. A step that is not positive and finite could never fall
// below its stopping size: the start is then returned, unmoved, with its value.
template <typename Real, typename Criterion>
PatternValue<Real> PatternSearch(int dim, int K, Real* point, Real& h, Criterion&& criterion)
{
    if (!(h > Real(0)) || !(h <= std::numeric_limits<Real>::max())) return criterion(point);
    const Real least = Real(0.4) * h;
    bool done = false;
    int phase = 1;  // 1: exploring around a base, 0: around a pattern point

    std::vector<Real> x0(point, point + dim), xb(dim), x(dim);
    PatternValue<Real> best = criterion(x0.data());
    PatternValue<Real> saved = best;
    std::vector<Real> xs = x0;
    for (;;) {
        xb = x0;
        // Whether a move was taken, not whether coordinates differ: a NaN coordinate differs
        // from itself and would never let the step shrink.
        bool unchanged = true;
        for (int i = 0; i < K; ++i) {
            x = xb;
            for (Real step : {h, -h}) {
                x[i] = x0[i] + step;
                const PatternValue<Real> trial = criterion(x.data());
                if (trial.F < best.F) {
                    best = trial;
                    xb[i] = x[i];
                    unchanged = false;
                }
            }
        }
        if (unchanged) {
            h = h / Real(2);
            if (h < least) done = true;
        }
        if (done) break;
        if (phase == 0 && !(best.F < saved.F)) {
            x0 = xs;
            best = saved;
            phase = 1;
            continue;
        }
        // Pattern move: reflect the old base through the new point.
        xs = xb;
        saved = best;
        for (int i = 0; i < K; ++i) x0[i] = Real(2) * xb[i] - x0[i];
        best = criterion(x0.data());
        phase = 0;
    }
    for (int i = 0; i < dim; ++i) point[i] = xs[i];
    return saved;
}

#include "numlib/fft.h"

#include "numlib/error_stack.h"
#include "numlib/fft_plan.h"
#include "numlib/finite_values.h"

#include <cmath>
#include <vector>

namespace {

// Factors of n in pass order; false when there are more than kFftMaxFactors.
bool Factorise(int n, std::vector<int>& factors)
{
    factors.clear();
    int remaining = n;
    int divisor = 3;
    int step = 0;  // 3, 4, 2, 5, then odd divisors from 7
    while (remaining > 1) {
        if (remaining % divisor == 0) {
            if (static_cast<int>(factors.size()) == kFftMaxFactors) return false;
            if (divisor == 2) factors.insert(factors.begin(), 2);
            else factors.push_back(divisor);
            remaining /= divisor;
            continue;
        }
        switch (step++) {
        case 0: divisor = 4; break;
        case 1: divisor = 2; break;
        case 2: divisor = 5; break;
        case 3: divisor = 7; break;
        default: divisor += 2; break;
        }
        // Past sqrt(remaining) the rest is prime.
        if (step > 3 && static_cast<long long>(divisor) * divisor > remaining) divisor = remaining;
    }
    return true;
}

// The factor part of the table at 4n+1: n, the factor count and the factors.
void StoreFactors(int n, double* factorPart, const std::vector<int>& factors)
{
    factorPart[0] = n;
    factorPart[1] = static_cast<double>(factors.size());
    for (size_t i = 0; i < factors.size(); ++i) factorPart[2 + i] = factors[i];
}

// True when ftab's factor part describes a transform of length n.
bool TableFits(int n, const double* ftab)
{
    const double* factorPart = ftab + 4L * n;
    if (std::lround(factorPart[0]) != n) return false;
    const long count = std::lround(factorPart[1]);
    if (count < 1 || count > kFftMaxFactors) return false;
    long long product = 1;
    for (long i = 0; i < count; ++i) product *= std::lround(factorPart[2 + i]);
    return product == n;
}

}  // namespace

int FftFactorCount(int n)
{
    std::vector<int> factors;
    if (n <= 1) return 0;
    // Factorise stops at the table's limit; count past it.
    if (Factorise(n, factors)) return static_cast<int>(factors.size());
    return kFftMaxFactors + 1;
}

void DFFTCI(int n, double* ftab)
{
    if (n < 1) {
        E1PSH("DFFTCI");
        MsgSetInt(1, n);
        E1MES(5, 1, "The length of the sequence N = %(I1).  It must be at least 1.");
        E1POP("DFFTCI");
        return;
    }
    if (n == 1) return;
    std::vector<int> factors;
    if (!Factorise(n, factors)) {
        E1PSH("DFFTCI");
        MsgSetInt(1, n);
        MsgSetInt(2, kFftMaxFactors);
        E1MES(5, 2, "The length of the sequence N = %(I1) has more than %(I2) factors.  It cannot be transformed.");
        E1POP("DFFTCI");
        return;
    }
    StoreFactors(n, ftab + 4L * n, factors);
    // The roots go to the twiddle part; the scratch part is free until the first transform.
    FftPlan plan;
    FftPlanInit(plan, n);
    FftComplex small[16];
    FftComplex* temp = FftPlanRootsTemp(plan) <= 16 ? small : reinterpret_cast<FftComplex*>(ftab);
    FftPlanRoots(plan, reinterpret_cast<FftComplex*>(ftab + 2L * n), temp);
}

void DF2TCF(int n, const double* xin, double* xout, double* ftab, double* cwork)
{
    if (n < 1) {
        E1PSH("DF2TCF");
        MsgSetInt(1, n);
        E1MES(5, 1, "The length of the sequence N = %(I1).  It must be at least 1.");
        E1POP("DF2TCF");
        return;
    }
    if (n > 1 && !TableFits(n, ftab)) {
        E1PSH("DF2TCF");
        MsgSetInt(1, n);
        E1MES(5, 2, "The transform table was not prepared for the length N = %(I1).");
        E1POP("DF2TCF");
        return;
    }
    if (!AllFinite(xin, 2L * n)) {
        E1PSH("DF2TCF");
        E1MES(5, 4, "The sequence holds a value that is not finite.  Every element must be finite.");
        E1POP("DF2TCF");
        return;
    }
    FftPlan plan;
    FftPlanInit(plan, n);
    const FftComplex* roots = reinterpret_cast<const FftComplex*>(ftab + 2L * n);
    if (!FftPlanRun(plan, roots, reinterpret_cast<const FftComplex*>(xin), reinterpret_cast<FftComplex*>(xout),
                    reinterpret_cast<FftComplex*>(cwork), reinterpret_cast<FftComplex*>(ftab))) {
        E1PSH("DF2TCF");
        MsgSetInt(1, n);
        E1MES(5, 3, "The work space for the length N = %(I1) cannot be allocated.");
        E1POP("DF2TCF");
        return;
    }
    if (!AllFinite(xout, 2L * n)) {
        E1PSH("DF2TCF");
        E1MES(4, 5, "The transform has elements too large for double precision.");
        E1POP("DF2TCF");
    }
}

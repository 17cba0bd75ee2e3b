#pragma once
// The transform engine behind the library FFT, the periodogram and the FFT smoother: a forward
// complex discrete Fourier transform of any length n >= 1,
//   out(k) = sum for t = 0..n-1 of in(t)·exp(-2πi·k·t/n), k = 0..n-1, unnormalised,
// with the real-input split and merge that let a real series of even length go through a
// complex transform of half its length.
//
// Method. A length is cut into passes of a self-sorting (Stockham) mixed-radix transform with
// butterflies for 2, 3, 4 and 5 and a direct pass for other small primes (C. Temperton,
// "Self-sorting mixed-radix fast Fourier transforms", J. Comput. Phys. 52 (1983)). A prime
// factor above kFftDirectPrimeLimit is transformed by Bluestein's chirp-z algorithm as a cyclic
// convolution over a padded length with no factor above 5 (L. I. Bluestein, IEEE Trans. Audio
// Electroacoust. 18 (1970)), so every length costs O(n log n). A length above 2^18 is split as
// n = n1·n2 and done as n2 transforms of length n1 across the columns, a twiddle and n1
// transforms of length n2 across the rows (D. H. Bailey, "FFTs in external or hierarchical
// memory", J. Supercomputing 4 (1990)); both sweeps work on a few columns or rows at a time, so
// the data stream through memory twice whatever the number of passes. The butterflies for 2 to 5
// run two at a time on AVX2 where the processor has it (fft_kernels.h).
//
// Every twiddle factor is a root of unity rounded once from extended precision after an exact
// octant reduction, or the product of two such roots, so the error stays at rounding level at
// every length.
#include <cstddef>
#include <cstdint>
#include <memory>

struct FftComplex {
    double re;
    double im;
};

// Prime factors up to this limit have a direct pass; larger ones go through Bluestein's method.
constexpr int kFftDirectPrimeLimit = 61;

// A pass of the self-sorting transform: factor p, with P the product of the factors before it
// and Q = n / (P·p). Its twiddle blocks j = 1..p-1 hold Q roots each, entry r of block j being
// exp(-2πi·r·j·P/n); entry 0 of block j of a direct prime pass holds exp(-2πi·j/p) instead.
struct FftPass {
    int p = 0;
    std::ptrdiff_t P = 0, Q = 0;
    std::ptrdiff_t rootOffset = 0;  // first twiddle entry of block 1
    int bluestein = -1;             // index of the pass's chirp-z work, or -1
};

constexpr int kFftMaxPasses = 40;

// The passes of one length, done one after another between two buffers.
struct FftLeaf {
    int n = 1;
    int count = 0;
    FftPass pass[kFftMaxPasses];
};

// How a length is transformed: one leaf, or the column and row leaves of a split n = n1·n2.
struct FftPlan {
    int n = 1;
    bool split = false;
    int n1 = 1, n2 = 1;       // column length and row length of a split
    FftLeaf leaf[2];          // leaf[0] alone, or the column (n1) and row (n2) transforms
    int lanes = 1;            // columns or rows moved at once in a split
    std::ptrdiff_t leafRoots[2] = {0, 0};  // offsets of each leaf's twiddles in the root store
    std::ptrdiff_t tableRoots = 0;         // offset of the split's twiddle generator tables
    std::ptrdiff_t rootCount = 0;          // complex values of the root store
    std::ptrdiff_t scratchCount = 0;       // complex values of scratch a run needs
    int bluesteinCount = 0;
    int bluesteinPrime[8] = {};            // the primes transformed by Bluestein's method
};

// Plans the transform of length n (1 <= n). The root store never exceeds n complex values and
// the scratch never exceeds n complex values, so both fit the library's transform table.
void FftPlanInit(FftPlan& plan, int n);

// Complex values of temporary space FftPlanRoots needs.
std::ptrdiff_t FftPlanRootsTemp(const FftPlan& plan);

// Fills the root store (plan.rootCount complex values) of a plan; temp has FftPlanRootsTemp.
void FftPlanRoots(const FftPlan& plan, FftComplex* roots, FftComplex* temp);

// Transforms in (n values) into out (n values, may be in) with the plan and its root store;
// work holds n values and scratch plan.scratchCount values. Lengths with a prime factor above
// kFftDirectPrimeLimit obtain their chirp-z work space for the call, or take over the one kept
// from the last transform with that prime (the last one used, up to 128 MB, stays for the next).
// Returns false, with nothing written, when that space cannot be obtained.
[[nodiscard]] bool FftPlanRun(const FftPlan& plan, const FftComplex* roots, const FftComplex* in,
                              FftComplex* out, FftComplex* work, FftComplex* scratch);

// Whether the butterflies may run two values at a time on AVX2 where the processor has it (the
// default). Tests turn it off to check the one-at-a-time kernels on such processors too.
void FftAllowWideVectors(bool allowed);

// Roots of unity of one order by two small tables: Root(m) = exp(-2πi·m/order) for
// 0 <= m < order, the product of two correctly rounded roots.
struct FftRootTable {
    std::int64_t order = 1;
    int shift = 0;
    const FftComplex* low = nullptr;   // 2^shift entries
    const FftComplex* high = nullptr;  // ceil(order / 2^shift) entries
    FftComplex Root(std::int64_t m) const
    {
        const FftComplex a = low[m & ((std::int64_t{1} << shift) - 1)];
        const FftComplex b = high[m >> shift];
        return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
    }
};

// Complex values of storage the table of an order needs.
std::ptrdiff_t FftRootTableSize(std::int64_t order);

// Builds the table of an order (>= 1) in storage of FftRootTableSize(order) values.
FftRootTable FftRootTableInit(std::int64_t order, FftComplex* storage);

// FftPlanRoots from the table of an order that is a multiple of plan.n (a real-input transform
// has one of twice its complex length), which then gives every leaf its roots; no temporary
// space is needed.
void FftPlanRootsFrom(const FftPlan& plan, FftComplex* roots, const FftRootTable& multiple);

// exp(-2πi·m/order) for 0 <= m < order, correctly rounded up to an ulp.
FftComplex FftExactRoot(std::int64_t m, std::int64_t order);

// Real input of even length n = 2h packed as z(t) = x(2t) + i·x(2t+1) and transformed (Z, h
// values): calls visit(k, X(k), W^k) for k = 0..h, X the transform of x and W = exp(-2πi/n)
// from roots, a table of order n. Z(k) = E(k) + i·O(k), E and O the transforms of the even and
// odd samples, and conj(Z(h-k)) = E(k) - i·O(k), so X(k) = E(k) + W^k·O(k). The pairs k, h-k
// are visited together after both are read, then 0 and h, so a visit may overwrite Z(k) and
// Z(h-k).
template <class Visit>
void FftRealSplitEach(std::ptrdiff_t h, const FftComplex* Z, const FftRootTable& roots, Visit visit)
{
    const FftComplex z0 = Z[0];
    for (std::ptrdiff_t k = 1; 2 * k <= h; ++k) {
        const FftComplex a = Z[k], b = Z[h - k];
        for (int side = 0; side < 2; ++side) {
            // side 0: k from (a, b); side 1: h-k from (b, a).
            const FftComplex u = side == 0 ? a : b, v = side == 0 ? b : a;
            const std::ptrdiff_t index = side == 0 ? k : h - k;
            const FftComplex w = roots.Root(index);
            // E = (u + conj v)/2 and O = (u - conj v)/2i.
            const FftComplex e = {0.5 * (u.re + v.re), 0.5 * (u.im - v.im)};
            const FftComplex o = {0.5 * (u.im + v.im), -0.5 * (u.re - v.re)};
            visit(index, FftComplex{e.re + (w.re * o.re - w.im * o.im), e.im + (w.re * o.im + w.im * o.re)}, w);
            if (index == h - index) break;
        }
    }
    visit(0, FftComplex{z0.re + z0.im, 0.0}, FftComplex{1.0, 0.0});
    if (h > 0) visit(h, FftComplex{z0.re - z0.im, 0.0}, roots.Root(h));
}

// The same into an array: X (h+1 values) := X(0..h); X may be Z when it has room for h+1.
void FftRealSplit(std::ptrdiff_t h, const FftComplex* Z, FftComplex* X, const FftRootTable& roots);

// The inverse step: from X(0..h), the transform of a real series of length 2h (imaginary parts
// of X(0) and X(h) ignored), Z (h values) such that the inverse transform of Z, divided by h,
// is x(2t) + i·x(2t+1). Z may be X.
void FftRealMerge(std::ptrdiff_t h, const FftComplex* X, FftComplex* Z, const FftRootTable& roots);

// A plan with its own root store and buffers, for callers without a library table.
struct FftWorkspace {
    FftPlan plan;
    std::unique_ptr<FftComplex[]> store;
    FftComplex* roots = nullptr;
    FftComplex* work = nullptr;
    FftComplex* scratch = nullptr;
};

// Plans length n (>= 1) and obtains and fills its store; false when the space cannot be obtained.
[[nodiscard]] bool FftWorkspaceInit(FftWorkspace& space, int n);

// out (n values, may be in) := the forward transform of in, or with inverse set the sum with
// exp(+2πi·k·t/n), unscaled. Returns false, with nothing written, when the chirp-z work space
// cannot be obtained.
[[nodiscard]] bool FftWorkspaceRun(const FftWorkspace& space, const FftComplex* in, FftComplex* out,
                                   bool inverse);

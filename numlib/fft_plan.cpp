#include "numlib/fft_plan.h"

#include "numlib/fft_kernels.h"
#include "numlib/kept_record.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

using Cx = FftComplex;
using Index = std::ptrdiff_t;

// Lengths up to this are done as one leaf; its two buffers (4 MB each at the limit) stay in the
// last-level cache, where the passes cost less than the gathers of a split.
constexpr int kLeafLimit = 262144;
// A split needs both factors at least this long to pay for its gathers (and for its scratch to
// stay within n).
constexpr int kSplitMinimum = 24;
// Columns or rows moved together in a split: a few cache lines of each.
constexpr int kSplitLanes = 8;

inline Cx Add(Cx a, Cx b)
{
    return {a.re + b.re, a.im + b.im};
}
inline Cx Sub(Cx a, Cx b)
{
    return {a.re - b.re, a.im - b.im};
}
inline Cx Mul(Cx a, Cx b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
inline Cx Scale(double s, Cx a)
{
    return {s * a.re, s * a.im};
}
inline Cx Conj(Cx a)
{
    return {a.re, -a.im};
}
// i·a
inline Cx TimesI(Cx a)
{
    return {-a.im, a.re};
}

// ---- factorisation ----

int SmallestPrimeFactor(int n)
{
    if (n % 2 == 0) return 2;
    for (int d = 3; static_cast<std::int64_t>(d) * d <= n; d += 2)
        if (n % d == 0) return d;
    return n;
}

// The passes of length n in the order they run: 4s, a 2, 3s, 5s, the other primes ascending.
void FactorLeaf(int n, FftLeaf& leaf)
{
    int factors[kFftMaxPasses];
    int count = 0;
    int rest = n;
    int twos = 0;
    while (rest % 2 == 0) {
        rest /= 2;
        ++twos;
    }
    for (int i = 0; i < twos / 2; ++i) factors[count++] = 4;
    if (twos % 2 == 1) factors[count++] = 2;
    while (rest > 1) {
        const int p = SmallestPrimeFactor(rest);
        factors[count++] = p;
        rest /= p;
    }
    leaf.n = n;
    leaf.count = count;
    Index before = 1;
    Index offset = 0;
    for (int f = 0; f < count; ++f) {
        FftPass& pass = leaf.pass[f];
        pass.p = factors[f];
        pass.P = before;
        pass.Q = n / (before * pass.p);
        pass.rootOffset = offset;
        pass.bluestein = -1;
        offset += (pass.p - 1) * pass.Q;
        before *= pass.p;
    }
}

// Smallest length >= m with no prime factor above 5.
Index SmoothLength(Index m)
{
    Index best = 1;
    while (best < m) best *= 2;
    for (Index five = 1; five < 2 * m; five *= 5)
        for (Index three = five; three < 2 * m; three *= 3) {
            Index length = three;
            while (length < m) length *= 2;
            best = std::min(best, length);
        }
    return best;
}

void MarkBluestein(FftPlan& plan, FftLeaf& leaf)
{
    for (int f = 0; f < leaf.count; ++f) {
        FftPass& pass = leaf.pass[f];
        if (pass.p <= kFftDirectPrimeLimit) continue;
        int index = 0;
        while (index < plan.bluesteinCount && plan.bluesteinPrime[index] != pass.p) ++index;
        if (index == plan.bluesteinCount) plan.bluesteinPrime[plan.bluesteinCount++] = pass.p;
        pass.bluestein = index;
    }
}

// Divisor of n nearest to sqrt(n) from below.
int SplitFactor(int n)
{
    int best = 1;
    for (int d = 1; static_cast<std::int64_t>(d) * d <= n; ++d)
        if (n % d == 0) best = d;
    return best;
}

// ---- roots ----

constexpr long double kTwoPiL = 6.283185307179586476925286766559005768L;

// Chirp-z work of one prime: the roots that give the chirp, the transformed kernel and the
// buffers of the padded convolution, each obtained separately so that no single request is
// larger than it must be.
struct Chirp {
    int p = 0;
    Index M = 0;
    std::size_t bytes = 0;
    FftPlan plan;
    std::unique_ptr<Cx[]> kernelStore, convStore, workStore;
    FftRootTable chirp;    // roots of order 2p: w(k) = Root(k² mod 2p)
    Cx* roots = nullptr;   // root store of the plan of M
    Cx* kernel = nullptr;  // conj of the kernel's transform over M, divided by M, k = 0..M/2
    Cx* conv = nullptr;
    Cx* work = nullptr;
    Cx* scratch = nullptr;
};

struct ChirpSet {
    std::unique_ptr<Chirp> chirp[8];
};

// The chirp-z work of the last prime transformed is kept for the next transform with that prime:
// a view that is refreshed, or a smoother moved along its slider, transforms the same length
// again and again, and the work holds the kernel's transform besides pages already mapped. Work
// larger than kChirpKeepBytes is not kept.
constexpr std::size_t kChirpKeepBytes = std::size_t{128} << 20;

KeptRecord<Chirp>& Keeper()
{
    static KeptRecord<Chirp> keeper;
    return keeper;
}

std::unique_ptr<Chirp> TakeKeptChirp(int p)
{
    return Keeper().Take([p](const Chirp& c) { return c.p == p; });
}

void KeepChirp(std::unique_ptr<Chirp> chirp)
{
    Keeper().Keep(std::move(chirp), kChirpKeepBytes);
}

void RunPlan(const FftPlan& plan, const Cx* roots, const Cx* in, Cx* out, Cx* work, Cx* scratch,
             const ChirpSet* chirps);

// ---- butterflies ----
// The kernels for 2 to 5 are in fft_kernels.h; the direct prime and chirp-z passes below use the
// same one-value-at-a-time arithmetic.

using V = FftNarrow::V;
using W = FftNarrow::W;
inline V Load(const Cx* p)
{
    return FftNarrow::Load(p);
}
inline void Store(Cx* p, V a)
{
    FftNarrow::Store(p, 1, a);
}
#if defined(VESK_FFT_SSE2)
inline V Add(V a, V b)
{
    return FftNarrow::Add(a, b);
}
inline V Sub(V a, V b)
{
    return FftNarrow::Sub(a, b);
}
inline V Scale(double s, V a)
{
    return FftNarrow::Scale(s, a);
}
inline V TimesI(V a)
{
    return FftNarrow::TimesI(a);
}
inline V Mul(V a, W w)
{
    return FftNarrow::Mul(a, w);
}
#endif
inline W Prepare(const Cx* p)
{
    return FftNarrow::Twiddle(p);
}
inline W Prepare(Cx w)
{
    return Prepare(&w);
}

// Prefetches are hints: an address past the end of an array is never dereferenced.
inline void Prefetch(const Cx* p)
{
#if defined(__GNUC__)
    __builtin_prefetch(p, 0);
#else
    (void)p;
#endif
}
inline void PrefetchWrite(Cx* p)
{
#if defined(__GNUC__)
    __builtin_prefetch(p, 1);
#else
    (void)p;
#endif
}

// Whether the wide butterflies run: the processor's answer, unless a test turned them off.
struct WideChoice {
    bool available = false;
    bool allowed = true;
    WideChoice()
    {
#if defined(VESK_FFT_WIDE)
        __builtin_cpu_init();
        available = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#endif
    }
};

WideChoice& Wide()
{
    static WideChoice choice;
    return choice;
}

// The butterflies of 2 to 5: pairs on the wide kernels where they run, the rest one at a time.
void SmallRadix(int p, bool twiddle, bool step, Index count, const Cx* s, Index ss, Index si, Cx* d, Index ds,
                Index di, const Cx* tw, Index ws)
{
    Index done = 0;
#if defined(VESK_FFT_WIDE)
    if (count >= 2 && FftWideAvailable()) {
        done = count - count % 2;
        FftWideRadix(p, twiddle, step, done, s, ss, si, d, ds, di, tw, ws);
        if (done == count) return;
    }
#endif
    FftSmallRadix<FftNarrow>(p, twiddle, step, count - done, s + done * si, ss, si, d + done * di, ds, di,
                             tw + (step ? done : 0), ws);
}

// A prime p from 7 to kFftDirectPrimeLimit by its symmetric sums; roots holds exp(-2πi·j/p) at
// roots[(j-1)·ws], j = 1..p-1.
template <bool kTwiddle, bool kStep>
void RadixOdd(int p, Index count, const Cx* s, Index ss, Index si, Cx* d, Index ds, Index di,
              const Cx* tw, Index ws, const Cx* roots)
{
    constexpr int kMax = kFftDirectPrimeLimit;
    double cr[kMax], ci[kMax];
    for (int m = 1; m < p; ++m) {
        cr[m] = roots[(m - 1) * ws].re;
        ci[m] = roots[(m - 1) * ws].im;
    }
    const int h = (p + 1) / 2;
    V sum[kMax / 2 + 1], dif[kMax / 2 + 1];
    for (Index i = 0; i < count; ++i) {
        const Cx* x = s + i * si;
        Cx* y = d + i * di;
        const V x0 = Load(x);
        V total = x0;
        for (int j = 1; j < h; ++j) {
            const V a = Load(x + j * ss), b = Load(x + (p - j) * ss);
            sum[j] = Add(a, b);
            dif[j] = Sub(a, b);
            total = Add(total, sum[j]);
        }
        Store(y, total);
        for (int l = 1; l < h; ++l) {
            V A = x0, B = Sub(x0, x0);
            int index = 0;
            for (int j = 1; j < h; ++j) {
                index += l;
                if (index >= p) index -= p;
                A = Add(A, Scale(cr[index], sum[j]));
                B = Add(B, Scale(ci[index], dif[j]));
            }
            const V iB = TimesI(B);
            V lo = Add(A, iB), hi = Sub(A, iB);
            if (kTwiddle) {
                lo = Mul(lo, Prepare(tw + (l - 1) * ws + (kStep ? i : 0)));
                hi = Mul(hi, Prepare(tw + (p - l - 1) * ws + (kStep ? i : 0)));
            }
            Store(y + l * ds, lo);
            Store(y + (p - l) * ds, hi);
        }
    }
}

// A large prime by the chirp-z convolution: y(j) = w(j)·conj(R(j)), R the transform of
// conj(A)·K, A the transform of x(m)·w(m) padded to M, with the chirp w(k) = exp(-πi·k²/p)
// taken from the roots of order 2p as k² mod 2p.
template <bool kTwiddle, bool kStep>
void RadixChirp(const Chirp& c, Index count, const Cx* s, Index ss, Index si, Cx* d, Index ds,
                Index di, const Cx* tw, Index ws)
{
    const Index p = c.p, M = c.M, order = 2 * p;
    for (Index i = 0; i < count; ++i) {
        const Cx* x = s + i * si;
        Cx* y = d + i * di;
        Index square = 0;
        for (Index m = 0; m < p; ++m) {
            Store(c.conv + m, Mul(Load(x + m * ss), Prepare(c.chirp.Root(square))));
            square += 2 * m + 1;
            while (square >= order) square -= order;
        }
        std::fill(c.conv + p, c.conv + M, Cx{0.0, 0.0});
        RunPlan(c.plan, c.roots, c.conv, c.conv, c.work, c.scratch, nullptr);
        for (Index j = 0; j < M; ++j) {
            const Cx a = Conj(c.conv[j]);
            Store(c.conv + j, Mul(Load(&a), Prepare(c.kernel + std::min(j, M - j))));
        }
        RunPlan(c.plan, c.roots, c.conv, c.conv, c.work, c.scratch, nullptr);
        square = 0;
        for (Index j = 0; j < p; ++j) {
            const Cx r = Conj(c.conv[j]);
            V v = Mul(Load(&r), Prepare(c.chirp.Root(square)));
            square += 2 * j + 1;
            while (square >= order) square -= order;
            if (kTwiddle && j > 0) v = Mul(v, Prepare(tw + (j - 1) * ws + (kStep ? i : 0)));
            Store(y + j * ds, v);
        }
    }
}

template <bool kTwiddle, bool kStep>
void Butterflies(const FftPass& pass, const Cx* block, const ChirpSet* chirps, Index count,
                 const Cx* s, Index ss, Index si, Cx* d, Index ds, Index di, const Cx* tw)
{
    const Index ws = pass.Q;
    switch (pass.p) {
    case 2:
    case 3:
    case 4:
    case 5: SmallRadix(pass.p, kTwiddle, kStep, count, s, ss, si, d, ds, di, tw, ws); break;
    default:
        if (pass.bluestein >= 0)
            RadixChirp<kTwiddle, kStep>(*chirps->chirp[pass.bluestein], count, s, ss, si, d, ds, di,
                                        tw, ws);
        else
            RadixOdd<kTwiddle, kStep>(pass.p, count, s, ss, si, d, ds, di, tw, ws, block);
        break;
    }
}

// One pass from src to dst over `lanes` interleaved transforms: source element r + Q(m + p·g)
// goes, after the butterfly over m, to destination element r + Q(g + P·j), each element being
// `lanes` adjacent values.
void RunPass(const FftPass& pass, const Cx* roots, const Cx* src, Cx* dst, Index lanes,
             const ChirpSet* chirps)
{
    const Index p = pass.p, P = pass.P, Q = pass.Q;
    const Cx* block = roots + pass.rootOffset;
    // Inner loop over r where the blocks are long enough to stream through the cache lines, over g
    // otherwise.
    if (lanes == 1 && (Q >= P || Q >= 16)) {
        for (Index g = 0; g < P; ++g) {
            const Cx* s = src + Q * p * g;
            Cx* d = dst + Q * g;
            Butterflies<false, false>(pass, block, chirps, 1, s, Q, 1, d, Q * P, 1, block);
            if (Q > 1) Butterflies<true, true>(pass, block, chirps, Q - 1, s + 1, Q, 1, d + 1, Q * P, 1, block + 1);
        }
    } else if (lanes == 1) {
        Butterflies<false, false>(pass, block, chirps, P, src, Q, Q * p, dst, Q * P, Q, block);
        for (Index r = 1; r < Q; ++r)
            Butterflies<true, false>(pass, block, chirps, P, src + r, Q, Q * p, dst + r, Q * P, Q, block + r);
    } else {
        for (Index g = 0; g < P; ++g) {
            for (Index r = 0; r < Q; ++r) {
                const Cx* s = src + (r + Q * p * g) * lanes;
                Cx* d = dst + (r + Q * g) * lanes;
                if (r == 0)
                    Butterflies<false, false>(pass, block, chirps, lanes, s, Q * lanes, 1, d, Q * P * lanes, 1, block);
                else
                    Butterflies<true, false>(pass, block, chirps, lanes, s, Q * lanes, 1, d, Q * P * lanes, 1, block + r);
            }
        }
    }
}

// Runs the passes of a leaf from src through a and b in turn (a first); returns where the result
// is (src itself when there is no pass).
const Cx* RunLeafPasses(const FftLeaf& leaf, const Cx* roots, const Cx* src, Cx* a, Cx* b,
                        Index lanes, const ChirpSet* chirps)
{
    const Cx* from = src;
    Cx* to = a;
    for (int f = 0; f < leaf.count; ++f) {
        RunPass(leaf.pass[f], roots, from, to, lanes, chirps);
        from = to;
        to = to == a ? b : a;
    }
    return from;
}

// One leaf from in to out (may be in), choosing the buffer order so that the last pass writes out.
void RunLeaf(const FftLeaf& leaf, const Cx* roots, const Cx* in, Cx* out, Cx* work,
             const ChirpSet* chirps)
{
    if (leaf.count == 0) {
        if (out != in) std::memmove(out, in, sizeof(Cx) * static_cast<size_t>(leaf.n));
        return;
    }
    const bool odd = leaf.count % 2 == 1;
    // A prime length is one chirp-z butterfly, which reads all its input before it writes.
    const bool whole = leaf.count == 1 && leaf.pass[0].bluestein >= 0 && leaf.pass[0].P == 1;
    if (odd && in == out && !whole) {
        std::memcpy(work, in, sizeof(Cx) * static_cast<size_t>(leaf.n));
        RunLeafPasses(leaf, roots, work, out, work, 1, chirps);
    } else if (odd) {
        RunLeafPasses(leaf, roots, in, out, work, 1, chirps);
    } else {
        RunLeafPasses(leaf, roots, in, work, out, 1, chirps);
    }
}

FftRootTable RootTableView(std::int64_t order, const Cx* storage)
{
    FftRootTable table;
    table.order = order;
    while ((std::int64_t{1} << (2 * table.shift)) < order) ++table.shift;
    table.low = storage;
    table.high = storage + (std::int64_t{1} << table.shift);
    return table;
}

// Columns of length n1 (stride n2), a twiddle, then rows of length n2 written across.
void RunSplit(const FftPlan& plan, const Cx* roots, const Cx* in, Cx* out, Cx* work, Cx* scratch,
              const ChirpSet* chirps)
{
    const Index n = plan.n, n1 = plan.n1, n2 = plan.n2, lanes = plan.lanes;
    const FftRootTable table = RootTableView(n, roots + plan.tableRoots);
    Cx* a = scratch;
    Cx* b = scratch + lanes * std::max(n1, n2);
    // The twiddle of row k and column c+l is W^(k·c)·W^(k·l): one root from the table per row
    // and batch, the second factor from this table of n1 by lanes roots.
    Cx* steps = b + lanes * std::max(n1, n2);
    for (Index k = 0; k < n1; ++k)
        for (Index l = 0; l < lanes; ++l) steps[k * lanes + l] = table.Root(k * l);
    // The lines of the next batch are fetched while this one is transformed: the hardware
    // cannot follow n1 strided streams by itself.
    for (Index c = 0; c < n2; c += lanes) {
        const Index v = std::min(lanes, n2 - c);
        for (Index i = 0; i < n1; ++i) {
            const Cx* row = in + i * n2 + c;
            for (Index l = 0; l < v; ++l) a[i * v + l] = row[l];
            Prefetch(row + lanes);
            Prefetch(row + lanes + v / 2);
        }
        const Cx* y = RunLeafPasses(plan.leaf[0], roots + plan.leafRoots[0], a, b, a, v, chirps);
        for (Index k = 0; k < n1; ++k) {
            const W base = Prepare(table.Root((k * c) % n));
            const Cx* step = steps + k * lanes;
            Cx* row = work + k * n2 + c;
            for (Index l = 0; l < v; ++l) Store(row + l, Mul(Mul(Load(y + k * v + l), base), Prepare(step + l)));
            PrefetchWrite(row + lanes);
            PrefetchWrite(row + lanes + v / 2);
        }
    }
    for (Index k = 0; k < n1; k += lanes) {
        const Index v = std::min(lanes, n1 - k);
        for (Index l = 0; l < v; ++l) {
            const Cx* row = work + (k + l) * n2;
            for (Index i = 0; i < n2; ++i) a[i * v + l] = row[i];
        }
        const Cx* y = RunLeafPasses(plan.leaf[1], roots + plan.leafRoots[1], a, b, a, v, chirps);
        for (Index j = 0; j < n2; ++j) {
            Cx* column = out + k + n1 * j;
            for (Index l = 0; l < v; ++l) column[l] = y[j * v + l];
            PrefetchWrite(column + lanes);
            PrefetchWrite(column + lanes + v / 2);
        }
    }
}

void RunPlan(const FftPlan& plan, const Cx* roots, const Cx* in, Cx* out, Cx* work, Cx* scratch,
             const ChirpSet* chirps)
{
    if (plan.split)
        RunSplit(plan, roots, in, out, work, scratch, chirps);
    else
        RunLeaf(plan.leaf[0], roots + plan.leafRoots[0], in, out, work, chirps);
}

// Obtains and fills the chirp-z work of a prime; false when the space cannot be obtained.
bool PrepareChirp(int p, Chirp& c)
{
    c.p = p;
    c.M = SmoothLength(2 * static_cast<Index>(p) - 1);
    // A prime above about 2^30 would need a padded length past the int lengths of the plans.
    if (c.M > INT_MAX) return false;
    FftPlanInit(c.plan, static_cast<int>(c.M));
    const Index M = c.M;
    const std::int64_t order = 2 * static_cast<std::int64_t>(p);
    const Index work = std::max(M, FftPlanRootsTemp(c.plan));
    const Index table = FftRootTableSize(order);
    c.kernelStore.reset(new (std::nothrow) Cx[static_cast<size_t>(M / 2 + 1)]);
    c.convStore.reset(new (std::nothrow) Cx[static_cast<size_t>(M)]);
    const Index rest = work + c.plan.scratchCount + c.plan.rootCount + table;
    c.workStore.reset(new (std::nothrow) Cx[static_cast<size_t>(rest)]);
    if (!c.kernelStore || !c.convStore || !c.workStore) return false;
    c.bytes = sizeof(Cx) * static_cast<std::size_t>(M / 2 + 1 + M + rest);
    c.kernel = c.kernelStore.get();
    c.conv = c.convStore.get();
    c.work = c.workStore.get();
    c.scratch = c.work + work;
    c.roots = c.scratch + c.plan.scratchCount;
    FftPlanRoots(c.plan, c.roots, c.work);
    c.chirp = FftRootTableInit(order, c.roots + c.plan.rootCount);

    // Kernel conj(w(k)) at k and M-k; its transform is even in k.
    std::fill(c.conv, c.conv + M, Cx{0.0, 0.0});
    std::int64_t square = 0;
    for (Index k = 0; k < p; ++k) {
        c.conv[k] = c.conv[(M - k) % M] = Conj(c.chirp.Root(square));
        square = (square + 2 * k + 1) % order;
    }
    RunPlan(c.plan, c.roots, c.conv, c.conv, c.work, c.scratch, nullptr);
    const double inverse = 1.0 / static_cast<double>(M);
    for (Index j = 0; j <= M / 2; ++j) c.kernel[j] = Scale(inverse, Conj(c.conv[j]));
    return true;
}

}  // namespace

// ---- public ----

bool FftWideAvailable()
{
    const WideChoice& choice = Wide();
    return choice.available && choice.allowed;
}

void FftAllowWideVectors(bool allowed)
{
    Wide().allowed = allowed;
}

std::ptrdiff_t FftRootTableSize(std::int64_t order)
{
    int shift = 0;
    while ((std::int64_t{1} << (2 * shift)) < order) ++shift;
    const std::int64_t low = std::int64_t{1} << shift;
    return static_cast<std::ptrdiff_t>(low + (order + low - 1) / low);
}

FftComplex FftExactRoot(std::int64_t m, std::int64_t order)
{
    // Reduce the fraction m/order to [0, 1/8] by exact symmetries: 1-f (sine changes sign),
    // 1/2-f (cosine changes sign), 1/4-f (cosine and sine swap).
    std::int64_t num = m, den = order;
    bool negSin = false, negCos = false, swap = false;
    if (2 * num > den) {
        num = den - num;
        negSin = true;
    }
    if (4 * num > den) {
        num = den - 2 * num;
        den *= 2;
        negCos = true;
    }
    if (8 * num > den) {
        num = den - 4 * num;
        den *= 4;
        swap = true;
    }
    const long double theta = kTwoPiL * static_cast<long double>(num) / static_cast<long double>(den);
    double c = static_cast<double>(std::cos(theta));
    double s = static_cast<double>(std::sin(theta));
    if (swap) std::swap(c, s);
    if (negCos) c = -c;
    if (negSin) s = -s;
    return {c, -s};
}

FftRootTable FftRootTableInit(std::int64_t order, FftComplex* storage)
{
    FftRootTable table = RootTableView(order, storage);
    const std::int64_t low = std::int64_t{1} << table.shift;
    for (std::int64_t i = 0; i < low; ++i) storage[i] = FftExactRoot(i % order, order);
    Cx* high = storage + low;
    for (std::int64_t j = 0; j * low < order; ++j) high[j] = FftExactRoot(j * low, order);
    return table;
}

void FftPlanInit(FftPlan& plan, int n)
{
    plan = FftPlan();
    plan.n = n;
    const int n1 = n > kLeafLimit ? SplitFactor(n) : 1;
    if (n1 >= kSplitMinimum) {
        plan.split = true;
        plan.n1 = n1;
        plan.n2 = n / n1;
        FactorLeaf(plan.n1, plan.leaf[0]);
        FactorLeaf(plan.n2, plan.leaf[1]);
        plan.lanes = kSplitLanes;
        plan.leafRoots[0] = 0;
        plan.leafRoots[1] = plan.n1 - 1;
        plan.tableRoots = plan.leafRoots[1] + plan.n2 - 1;
        plan.rootCount = plan.tableRoots + FftRootTableSize(n);
        plan.scratchCount = 2 * plan.lanes * std::max<Index>(plan.n1, plan.n2) + plan.lanes * plan.n1;
        MarkBluestein(plan, plan.leaf[0]);
        MarkBluestein(plan, plan.leaf[1]);
    } else {
        FactorLeaf(n, plan.leaf[0]);
        plan.rootCount = n - 1;
        MarkBluestein(plan, plan.leaf[0]);
    }
}

std::ptrdiff_t FftPlanRootsTemp(const FftPlan& plan)
{
    Index temp = FftRootTableSize(plan.leaf[0].n);
    if (plan.split) temp = std::max(temp, FftRootTableSize(plan.leaf[1].n));
    return temp;
}

namespace {

// The twiddles of one leaf, exp(-2πi·m/leaf.n) read from a table of order leaf.n·stride as
// Root(m·stride).
void LeafRoots(const FftLeaf& leaf, Cx* base, const FftRootTable& table, std::int64_t stride)
{
    for (int f = 0; f < leaf.count; ++f) {
        const FftPass& pass = leaf.pass[f];
        Cx* block = base + pass.rootOffset;
        for (Index j = 1; j < pass.p; ++j, block += pass.Q) {
            // r·j·P < Q·p·P <= n: no reduction needed. Entry 0 would be 1; a direct prime
            // pass keeps its butterfly's root there.
            for (Index r = 1; r < pass.Q; ++r) block[r] = table.Root(r * j * pass.P * stride);
            if (pass.p > 5 && pass.bluestein < 0) block[0] = table.Root(j * (leaf.n / pass.p) * stride);
        }
    }
}

}  // namespace

void FftPlanRoots(const FftPlan& plan, FftComplex* roots, FftComplex* temp)
{
    for (int l = 0; l < (plan.split ? 2 : 1); ++l) {
        const FftLeaf& leaf = plan.leaf[l];
        LeafRoots(leaf, roots + plan.leafRoots[l], FftRootTableInit(leaf.n, temp), 1);
    }
    if (plan.split) FftRootTableInit(plan.n, roots + plan.tableRoots);
}

void FftPlanRootsFrom(const FftPlan& plan, FftComplex* roots, const FftRootTable& multiple)
{
    for (int l = 0; l < (plan.split ? 2 : 1); ++l) {
        const FftLeaf& leaf = plan.leaf[l];
        LeafRoots(leaf, roots + plan.leafRoots[l], multiple, multiple.order / leaf.n);
    }
    if (plan.split) FftRootTableInit(plan.n, roots + plan.tableRoots);
}

bool FftPlanRun(const FftPlan& plan, const FftComplex* roots, const FftComplex* in,
                FftComplex* out, FftComplex* work, FftComplex* scratch)
{
    if (plan.bluesteinCount == 0) {
        RunPlan(plan, roots, in, out, work, scratch, nullptr);
        return true;
    }
    std::unique_ptr<ChirpSet> chirps(new (std::nothrow) ChirpSet);
    if (!chirps) return false;
    for (int i = 0; i < plan.bluesteinCount; ++i) {
        const int p = plan.bluesteinPrime[i];
        chirps->chirp[i] = TakeKeptChirp(p);
        if (chirps->chirp[i]) continue;
        chirps->chirp[i].reset(new (std::nothrow) Chirp);
        if (!chirps->chirp[i] || !PrepareChirp(p, *chirps->chirp[i])) return false;
    }
    RunPlan(plan, roots, in, out, work, scratch, chirps.get());
    // Of several primes the largest is kept: it costs the most to prepare.
    int largest = 0;
    for (int i = 1; i < plan.bluesteinCount; ++i)
        if (plan.bluesteinPrime[i] > plan.bluesteinPrime[largest]) largest = i;
    KeepChirp(std::move(chirps->chirp[largest]));
    return true;
}

void FftRealSplit(std::ptrdiff_t h, const FftComplex* Z, FftComplex* X, const FftRootTable& roots)
{
    FftRealSplitEach(h, Z, roots, [X](Index k, Cx value, Cx) { X[k] = value; });
}

void FftRealMerge(std::ptrdiff_t h, const FftComplex* X, FftComplex* Z, const FftRootTable& roots)
{
    // E(k) = (X(k) + conj X(h-k))/2, O(k) = conj(W^k)·(X(k) - conj X(h-k))/2, Z(k) = E(k) + i·O(k).
    const double x0 = X[0].re, xh = X[h].re;
    for (Index k = 1; 2 * k <= h; ++k) {
        const Cx a = X[k], b = X[h - k];
        const Cx ok = Mul(Conj(roots.Root(k)), Scale(0.5, Sub(a, Conj(b))));
        const Cx oh = Mul(Conj(roots.Root(h - k)), Scale(0.5, Sub(b, Conj(a))));
        const Cx zk = Add(Scale(0.5, Add(a, Conj(b))), TimesI(ok));
        const Cx zh = Add(Scale(0.5, Add(b, Conj(a))), TimesI(oh));
        Z[k] = zk;
        Z[h - k] = zh;
    }
    Z[0] = {0.5 * (x0 + xh), 0.5 * (x0 - xh)};
}

bool FftWorkspaceInit(FftWorkspace& space, int n)
{
    FftPlanInit(space.plan, n);
    const FftPlan& plan = space.plan;
    const Index work = std::max<Index>(FftPlanRootsTemp(plan), n);
    space.store.reset(new (std::nothrow) Cx[static_cast<size_t>(plan.rootCount + work + plan.scratchCount)]);
    if (!space.store) return false;
    space.roots = space.store.get();
    space.work = space.roots + plan.rootCount;
    space.scratch = space.work + work;
    FftPlanRoots(plan, space.roots, space.work);
    return true;
}

bool FftWorkspaceRun(const FftWorkspace& space, const FftComplex* in, FftComplex* out, bool inverse)
{
    if (!FftPlanRun(space.plan, space.roots, in, out, space.work, space.scratch)) return false;
    // The sum with exp(+2πi·k·t/n) is the forward transform read at n-k.
    if (inverse) std::reverse(out + 1, out + space.plan.n);
    return true;
}

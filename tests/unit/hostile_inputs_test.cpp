// Every public numerical routine against a table of hostile inputs: NaN, infinities, values near
// the ends of the double range, lengths 0 to 3, constant and all-zero series, and counts at and
// beyond their limits. Run under the sanitizers, a routine may refuse, but it must not read or
// write outside its arrays, must return, and must never report success with a result that is
// not finite.
#include "library_capture.h"
#include "multivariate/burg_fit.h"
#include "multivariate/table_reader.h"
#include "multivariate/var_fit_support.h"
#include "multivariate/whittle_fit.h"
#include "numerics/acf.h"
#include "numerics/arar.h"
#include "numerics/arma_acvf.h"
#include "numerics/decomposition.h"
#include "numerics/estimator_covariance.h"
#include "numerics/fft_smoother.h"
#include "numerics/holt_winters.h"
#include "numerics/innovations.h"
#include "numerics/invert_matrix.h"
#include "numerics/long_memory.h"
#include "numerics/minimiser.h"
#include "numerics/pattern_search.h"
#include "numerics/randomness_tests.h"
#include "numerics/simulation.h"
#include "numerics/small_matrix.h"
#include "numerics/smoothing.h"
#include "numerics/spectral_likelihood.h"
#include "numerics/status.h"
#include "numerics/yule_walker.h"
#include "numlib/fft.h"
#include "numlib/least_squares.h"
#include "numlib/pd_inverse.h"
#include "numlib/periodogram.h"
#include "shell/ascii_files.h"
#include "shell/clipboard_text.h"
#include "univariate/forecasting.h"
#include "univariate/max_likelihood.h"
#include "univariate/preliminary_estimation.h"
#include "univariate/regression.h"
#include "univariate/statistics.h"
#include "univariate/transforms.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

const double kNaN = std::nan("");
const double kInf = HUGE_VAL;

struct Series {
    std::string name;
    std::vector<double> x;
};

// Lengths 0..4 and two longer ones, each in every hostile form.
std::vector<Series> HostileSeries()
{
    std::vector<Series> all;
    for (int n : {0, 1, 2, 3, 4, 13, 40}) {
        std::vector<double> base(n);
        for (int t = 0; t < n; ++t) base[t] = std::sin(1.3 * t + 0.4) + 0.1 * t;
        const auto with = [&](const std::string& kind, auto make) {
            std::vector<double> x = base;
            for (int t = 0; t < n; ++t) x[t] = make(t, base[t]);
            all.push_back({kind + " n=" + std::to_string(n), x});
        };
        with("ordinary", [](int, double v) { return v; });
        with("zero", [](int, double) { return 0.0; });
        with("constant", [](int, double) { return 5.0; });
        with("near 1e300", [](int, double v) { return 1e300 * v; });
        with("near 1e-300", [](int, double v) { return 1e-300 * v; });
        with("largest doubles", [](int t, double) { return t % 2 ? 1.7e308 : -1.7e308; });
        with("1e300 and 1e-300", [](int t, double) { return t % 2 ? 1e300 : 1e-300; });
        with("one NaN", [n](int t, double v) { return t == n / 2 ? kNaN : v; });
        with("one infinity", [n](int t, double v) { return t == n - 1 ? kInf : v; });
        with("minus infinity first", [](int t, double v) { return t == 0 ? -kInf : v; });
    }
    return all;
}

const std::vector<Series>& AllSeries()
{
    static const std::vector<Series> all = HostileSeries();
    return all;
}

const double* Data(const std::vector<double>& x) { return x.data(); }

bool Finite(const double* x, long n)
{
    for (long i = 0; i < n; ++i)
        if (!std::isfinite(x[i])) return false;
    return true;
}

bool Finite(const std::vector<double>& x) { return Finite(x.data(), static_cast<long>(x.size())); }

// Models of every kind a caller may hand over: ordinary, at and beyond the unit circle, with
// values that are not finite, and with orders out of range.
struct Model {
    std::string name;
    int p, q;
    std::vector<double> coef;
};

const std::vector<Model>& Models()
{
    static const std::vector<Model> models = {
        {"white noise", 0, 0, {}},
        {"AR(1)", 1, 0, {0.5}},
        {"MA(1)", 0, 1, {0.4}},
        {"ARMA(2,2)", 2, 2, {0.5, -0.3, 0.4, 0.2}},
        {"AR(1) unit root", 1, 0, {1.0}},
        {"AR(1) next to a unit root", 1, 0, {1.0 - 1e-15}},
        {"MA(1) not invertible", 0, 1, {2.0}},
        {"AR(1) NaN", 1, 0, {kNaN}},
        {"MA(1) infinite", 0, 1, {kInf}},
        {"ARMA(1,1) huge", 1, 1, {1e300, -1e300}},
        {"order 26", 26, 0, std::vector<double>(26, 0.01)},
        {"order 27", 27, 0, std::vector<double>(27, 0.01)},
        {"negative order", -1, 1, {0.3}},
    };
    return models;
}

bool OrdersInRange(const Model& m) { return m.p >= 0 && m.p <= 26 && m.q >= 0 && m.q <= 26; }

TEST(HostileInputs, AutocorrelationsAndRandomnessTests)
{
    for (const Series& s : AllSeries()) {
        const int n = static_cast<int>(s.x.size());
        for (int lags : {-1, 0, 1, n - 1, n, 200000}) {
            // Past n - 1 lags the routine must refuse before it writes: one element catches a write.
            const int L0 = lags <= 0 ? 40 : lags;
            const size_t length = L0 <= n ? static_cast<size_t>(L0) + 1 : 1;
            std::vector<double> acf(length), pacf(length), work(n);
            double gamma0 = 0.0;
            int L = lags;
            const int status = SampleAcfPacf(gamma0, n, Data(s.x), acf.data(), pacf.data(), L, work.data());
            if (status == kStatusDone) {
                EXPECT_TRUE(std::isfinite(gamma0) && Finite(acf) && Finite(pacf)) << s.name << " L=" << lags;
            }
        }
        if (n >= 2) {
            std::vector<double> pacf(n);
            if (DurbinLevinson(Data(s.x), n, pacf.data()) == kStatusDone) {
                EXPECT_TRUE(Finite(pacf)) << s.name;
            }
        }
        for (int h : {0, 1, n - 1, n + 5, 40}) {
            int order = -1;
            double qLB = 0.0, qML = 0.0, tp[3], ds[3], rk[3];
            const int status = RandomnessTests(Data(s.x), n, h, order, qLB, qML, tp, ds, rk);
            if (status == kStatusDone) {
                EXPECT_TRUE(std::isfinite(qLB) && std::isfinite(qML) && Finite(tp, 3) && Finite(ds, 3) &&
                            Finite(rk, 3))
                    << s.name << " h=" << h;
                EXPECT_GE(order, 0);
            }
        }
    }
}

TEST(HostileInputs, ModelAutocovariancesAndWeights)
{
    for (const Model& m : Models()) {
        const int top = std::max({m.p, m.q, 0});
        for (double sigma2 : {1.0, 0.0, 1e300, kInf, kNaN}) {
            for (int nlag : {0, 10}) {
                for (int mode : {kArmaAcvfCompute, kArmaAcvfTestCausal, kArmaAcvfTestInvertible}) {
                    std::vector<double> acvf(std::max(nlag, top) + 1);
                    int status = -99;
                    ArmaAcvf(nlag, mode, acvf.data(), status, sigma2, m.coef.data(), m.p, m.q);
                    if (status == kStatusDone && mode == kArmaAcvfCompute) {
                        EXPECT_TRUE(Finite(acvf)) << m.name << " sigma2=" << sigma2;
                    }
                }
            }
            std::vector<double> ma(std::max(m.q, 0) + 5);
            if (m.q >= 0 && MaAcvf(m.q + 5, m.q, m.coef.data() + std::max(m.p, 0), ma.data(), sigma2) == kStatusDone) {
                EXPECT_TRUE(Finite(ma)) << m.name;
            }
        }
        for (int L : {0, 10, 2000}) {
            std::vector<double> psi(L + 1);
            if (PsiWeights(m.p, m.q, m.coef.data(), L, psi.data()) == kStatusDone) {
                EXPECT_TRUE(Finite(psi)) << m.name << " L=" << L;
            }
        }
        if (!OrdersInRange(m)) continue;
        std::vector<double> acvf(top + 1), K(54 * 54, 0.0);
        int status = -99;
        ArmaAcvf(top, kArmaAcvfCompute, acvf.data(), status, 1.0, m.coef.data(), m.p, m.q);
        for (double spoil : {1.0, kNaN}) {
            if (!acvf.empty()) acvf[0] *= spoil;
            if (ArmaStateCovariance(acvf.data(), m.p, m.q, m.coef.data(), K.data()) == kStatusDone) {
                const int N = ArmaStateOrder(m.p, m.q);
                for (int j = 0; j < N; ++j)
                    for (int i = j; i < N; ++i) EXPECT_TRUE(std::isfinite(K[i + 54 * j])) << m.name;
            }
        }
    }
}

TEST(HostileInputs, LongMemoryWeightsAndLogGamma)
{
    for (double x : {kNaN, -kInf, -1.0, 0.0, 4.9e-324, 1e-300, 1e-17, 0.5, 1.0, 2.0, 1e300, kInf}) {
        const double v = LogGamma(x);
        if (x > 0.0 && std::isfinite(x)) {
            EXPECT_TRUE(std::isfinite(v)) << x;
        }
    }
    for (const Model& m : Models()) {
        if (m.p > 27 || m.q > 27) continue;
        std::vector<double> phi(27, 0.0), theta(27, 0.0);
        for (int j = 0; j < std::max(m.p, 0); ++j) phi[j] = m.coef[j];
        for (int j = 0; j < std::max(m.q, 0); ++j) theta[j] = m.coef[std::max(m.p, 0) + j];
        for (double d : {0.0, 0.4, -0.5, 0.5, 0.6, 1e300, kNaN, kInf}) {
            // The largest M costs M^2: it is taken once below, not for every model.
            for (int M : {0, 1, 50, kMaxInfinityWeights + 1, INT_MAX}) {
                for (int mode : {kArInfinity, kMaInfinity, 2}) {
                    // Beyond the limit the routine must refuse before it writes: a one-element
                    // array catches any write under the sanitizer.
                    std::vector<double> out(M >= 1 && M <= kMaxInfinityWeights ? M : 1);
                    if (ArmaInfinityWeights(27, phi.data(), theta.data(), out.data(), m.p, m.q, d, M, 10, mode) ==
                        kStatusDone) {
                        EXPECT_TRUE(Finite(out)) << m.name << " d=" << d << " M=" << M;
                    }
                }
            }
        }
        for (int M : {0, 100, kMaxInfinityWeights + 1, INT_MAX}) {
            std::vector<double> F(M <= kMaxInfinityWeights ? M + 2 : 1);
            if (ArmaPsiTable(27, m.p, m.q, phi.data(), theta.data(), M, 10, F.data()) == kStatusDone) {
                EXPECT_TRUE(Finite(F)) << m.name << " M=" << M;
            }
        }
        std::vector<double> F(3);
        EXPECT_EQ(ArmaPsiTable(27, 0, 0, phi.data(), theta.data(), 1, INT_MAX, F.data()), kStatusBadArgument);
    }
    std::vector<double> phi(27, 0.0), theta(27, 0.0), out(kMaxInfinityWeights);
    phi[0] = 0.5;
    ASSERT_EQ(ArmaInfinityWeights(27, phi.data(), theta.data(), out.data(), 1, 0, 0.4, kMaxInfinityWeights, 10,
                                  kMaInfinity),
              kStatusDone);
    EXPECT_TRUE(Finite(out));
}

TEST(HostileInputs, InnovationsLikelihoodAndSimulation)
{
    std::vector<double> K(54 * 54), Theta(54 * 54), acvf(60);
    for (const Model& m : Models()) {
        if (!OrdersInRange(m)) {
            // Refused at entry whatever the rest holds.
            const std::vector<double> x(60, 1.0);
            double S = 0.0, L = 0.0;
            int status = kStatusDone, tconv = 0;
            InnovationsLikelihood(0, acvf.data(), S, L, status, x.data(), 60, m.coef.data(), m.p, m.q, K.data(),
                                  1e-5, tconv, Theta.data(), nullptr, 0, nullptr, nullptr);
            EXPECT_EQ(status, kStatusBadArgument) << m.name;
            continue;
        }
        const int top = std::max(m.p, m.q);
        int status = -99;
        std::fill(acvf.begin(), acvf.end(), 0.0);
        ArmaAcvf(top + 1, kArmaAcvfCompute, acvf.data(), status, 1.0, m.coef.data(), m.p, m.q);
        const bool causal = status == kStatusDone &&
                            ArmaStateCovariance(acvf.data(), m.p, m.q, m.coef.data(), K.data()) == kStatusDone;
        for (const Series& s : AllSeries()) {
            const int n = static_cast<int>(s.x.size());
            for (int h : {-1, 0, 3, kMaxInnovationsForecasts + 1}) {
                const int steps = h > 0 && h <= 3 ? h : 0;
                std::vector<double> resid(n), mse(steps), fcst(steps), a = acvf;
                double S = -1.0, L = -1.0;
                int tconv = -1;
                status = kStatusDone;
                InnovationsLikelihood(h, a.data(), S, L, status, Data(s.x), n, m.coef.data(), m.p, m.q, K.data(),
                                      1e-5, tconv, Theta.data(), resid.data(), 1, mse.data(), fcst.data());
                if (!causal || m.p + m.q == 0) {
                    if (n < 2 * top || m.p + m.q == 0) {
                        EXPECT_NE(status, kStatusDone) << m.name << " " << s.name;
                    }
                    continue;
                }
                if (status == kStatusDone) {
                    EXPECT_TRUE(std::isfinite(S) && S > 0.0 && std::isfinite(L) && Finite(mse) && Finite(fcst))
                        << m.name << " " << s.name << " h=" << h;
                    if (h <= 0) {
                        EXPECT_TRUE(Finite(resid)) << m.name << " " << s.name;
                    }
                }
            }
        }
        for (int n : {0, 1, 2, 3, 10}) {
            for (double sigma2 : {1.0, 0.0, -1.0, 1e300, kInf, kNaN}) {
                std::vector<double> x(n);
                if (ArmaSimulate(x.data(), n, m.coef.data(), m.p, m.q, sigma2, 4711) == kStatusDone) {
                    EXPECT_TRUE(Finite(x)) << m.name << " n=" << n << " sigma2=" << sigma2;
                    EXPECT_GE(n, std::max(m.q >= 1 ? 2 * top : m.p, 1));
                }
            }
        }
    }
    for (int n : {-1, 0, 3}) {
        std::vector<double> z(std::max(n, 0));
        NormalDeviate(n, z.data(), 17);
        EXPECT_TRUE(Finite(z));
    }
}

TEST(HostileInputs, EstimatorsAndCovariances)
{
    std::vector<double> G(54 * 54), M(54 * 54), V(54 * 54), A(27 * 27);
    for (const Series& s : AllSeries()) {
        const int n = static_cast<int>(s.x.size());
        for (int p : {0, 1, 3, 54, 55}) {
            if (n < p + 1) continue;
            std::vector<double> phi(std::max(p, 1));
            if (YuleWalkerFit(p, G.data(), Data(s.x), phi.data()) == kStatusDone) {
                EXPECT_TRUE(Finite(phi)) << s.name << " p=" << p;
            }
        }
        for (int m : {1, 5}) {
            if (n < m + 1) continue;
            for (int p : {0, 1, 2}) {
                for (int q : {0, 1}) {
                    std::vector<double> coef(std::max(p + q, 1)), resid(n);
                    if (HannanRissanenFit(coef.data(), resid.data(), p, q, M.data(), Data(s.x), m, n, Data(s.x)) ==
                        kStatusDone) {
                        EXPECT_TRUE(Finite(coef) && Finite(resid)) << s.name << " p=" << p << " q=" << q;
                    }
                }
            }
        }
    }
    for (const Model& m : Models()) {
        for (int k : {0, 1, m.p + m.q, m.p + m.q + 1}) {
            std::vector<int> idx;
            for (int i = 1; i <= k; ++i) idx.push_back(i);
            int code = -99, fail = -99;
            ArmaEstimatorCovariance(m.p, m.q, m.coef.data(), k, idx.data(), V.data(), code, fail);
            if (code == kCovarianceDone) {
                for (int j = 0; j < k; ++j)
                    for (int i = 0; i < k; ++i) EXPECT_TRUE(std::isfinite(V[i + 54 * j])) << m.name;
            }
        }
        if (m.p >= 1 && m.p <= 26) {
            int status = -99;
            ArAcvfMatrix(m.p, A.data(), m.coef.data(), status);
            if (status == kStatusDone) {
                for (int j = 0; j < m.p; ++j)
                    for (int i = 0; i < m.p; ++i) EXPECT_TRUE(std::isfinite(A[i + 27 * j])) << m.name;
            }
        }
    }
}

TEST(HostileInputs, DecompositionAndSmoothers)
{
    const std::vector<int> harmonics = {1, 3};
    for (const Series& s : AllSeries()) {
        const int n = static_cast<int>(s.x.size());
        for (int d : {0, 2, 4, 12}) {
            std::vector<double> x = s.x, seasonal, comp;
            if (ClassicalDecomposition(x, seasonal, comp, d) == kStatusDone) {
                EXPECT_TRUE(Finite(x) && Finite(seasonal) && Finite(comp)) << s.name << " d=" << d;
            } else if (n > 0) {
                EXPECT_EQ(0, std::memcmp(x.data(), s.x.data(), sizeof(double) * n)) << s.name;  // unchanged
            }
        }
        for (int k : {0, 1, 2, 3}) {
            std::vector<double> x = s.x, fit, a, b;
            double level = 0.0;
            if (HarmonicRegression(x, fit, a, b, k, level, harmonics) == kStatusDone) {
                EXPECT_TRUE(Finite(x) && Finite(fit) && Finite(a) && Finite(b) && std::isfinite(level)) << s.name;
            }
        }
        for (int degree : {0, 1, 2, 3}) {
            std::vector<double> x = s.x, fit(n, 0.0), c;
            if (PolynomialTrend(x, fit, c, degree) == kStatusDone) {
                EXPECT_TRUE(Finite(x) && Finite(fit) && Finite(c)) << s.name << " degree " << degree;
            }
        }
        for (double alpha : {kExpSmoothSearch, 0.3, 2.0, kNaN}) {
            std::vector<double> m(n);
            double used = alpha, sse = 0.0;
            if (ExponentialSmooth(Data(s.x), m.data(), n, used) == kStatusDone) {
                EXPECT_TRUE(Finite(m) && std::isfinite(used)) << s.name << " alpha " << alpha;
            }
            if (ExpSmoothPass(m.data(), Data(s.x), n, alpha, sse) == kStatusDone) {
                EXPECT_TRUE(Finite(m) && std::isfinite(sse)) << s.name;
            }
        }
        for (int q : {-1, 0, 2, 100}) {
            for (double spoil : {1.0, kNaN}) {
                std::vector<double> w(std::max(q + 1, 1), 0.2), out(n);
                w[0] *= spoil;
                if (MovingAverageSmooth(Data(s.x), out.data(), n, w.data(), q) == kStatusDone) {
                    EXPECT_TRUE(Finite(out)) << s.name << " q=" << q;
                }
            }
        }
        for (int q : {-1, 0, 1, n - 1, n}) {
            std::vector<double> W(std::max(q + 1, 1), 0.25), S(n + 1);
            if (PeriodogramSmoother(Data(s.x), S.data(), n, W.data(), q, 2 * n + 1) == kStatusDone) {
                EXPECT_TRUE(Finite(S)) << s.name << " q=" << q;
            }
        }
        for (double frac : {0.5, 1.0, -1.0, kInf, kNaN}) {
            std::vector<double> y(n);
            if (FftSmoother(Data(s.x), y.data(), n, frac) == kStatusDone) {
                EXPECT_TRUE(Finite(y)) << s.name << " frac " << frac;
            }
        }
        std::vector<std::complex<double>> a(n), out(n);
        for (int t = 0; t < n; ++t) a[t] = {s.x[t], -s.x[t]};
        for (int sign : {1, -1, 0}) {
            if (FftTransform(a.data(), n, out.data(), sign) == kStatusDone) {
                EXPECT_TRUE(Finite(reinterpret_cast<const double*>(out.data()), 2L * n)) << s.name;
            }
            if (FftFactorPass(a.data(), n, out.data(), 1, sign) == kStatusDone) {
                EXPECT_TRUE(Finite(reinterpret_cast<const double*>(out.data()), 2L * n)) << s.name;
            }
        }
    }
}

TEST(HostileInputs, ForecastingEngines)
{
    // A sound ARAR fit, applied to hostile series as well.
    std::vector<double> ordinary(60);
    for (int t = 0; t < 60; ++t) ordinary[t] = std::sin(0.5 * t) + 0.05 * t;
    ArarFitResult sound;
    ASSERT_EQ(ArarSubsetFit(ordinary.data(), 60, {1.0}, 1, sound), kStatusDone);
    for (const Series& s : AllSeries()) {
        const int n = static_cast<int>(s.x.size());
        std::vector<double> psi;
        if (ArarMemoryShortening(Data(s.x), n, psi) == kStatusDone) {
            EXPECT_TRUE(Finite(psi)) << s.name;
        } else {
            psi = {1.0};
        }
        double a1 = 0.0, a2 = 0.0;
        if (ArarTwoLagFit(Data(s.x), n, a1, a2) == kStatusDone) {
            EXPECT_TRUE(std::isfinite(a1) && std::isfinite(a2)) << s.name;
        }
        for (int criterion : {0, 1, 2, 3}) {
            ArarFitResult fit;
            if (ArarSubsetFit(Data(s.x), n, psi, criterion, fit) == kStatusDone) {
                EXPECT_TRUE(Finite(fit.xi) && std::isfinite(fit.mean) && std::isfinite(fit.rootMse) &&
                            Finite(fit.coef, 4) && std::isfinite(fit.criterionValue) &&
                            std::isfinite(fit.whiteNoiseVariance))
                    << s.name << " criterion " << criterion;
                std::vector<double> F(5);
                if (ArarForecast(Data(s.x), n, fit, 5, F.data()) == kStatusDone) {
                    EXPECT_TRUE(Finite(F)) << s.name;
                }
            }
        }
        for (int h : {-1, 0, 5}) {
            std::vector<double> F(std::max(h, 0));
            if (ArarForecast(Data(s.x), n, sound, h, F.data()) == kStatusDone) {
                EXPECT_TRUE(Finite(F)) << s.name << " h=" << h;
            }
        }
        for (int L : {3, 4, 13, 27}) {
            if (n < L + 1) continue;
            int lags[4];
            double a[4];
            for (int criterion : {1, 3}) {
                if (ArarLagSearch(Data(s.x), 1.0, L, criterion, Data(s.x), n, lags, a) == kStatusDone) {
                    EXPECT_TRUE(Finite(a, 4)) << s.name << " L=" << L;
                }
            }
        }
        if (n >= 5) {
            double a[4];
            if (ArarSubsetYuleWalker(Data(s.x), 2, 3, 4, a) == kStatusDone) {
                EXPECT_TRUE(Finite(a, 4)) << s.name;
            }
            const double phi[3] = {0.3, 0.0, 0.2};
            double ell = 0.0, sigma2 = 0.0;
            if (ArarSubsetLikelihood(phi, 3, Data(s.x), n, ell, sigma2) == kStatusDone) {
                EXPECT_TRUE(std::isfinite(ell) && std::isfinite(sigma2)) << s.name;
            }
            std::vector<double> A(s.x.begin(), s.x.begin() + 4);
            if (ArarMatrixInverse(2, A.data(), 2) == kStatusDone) {
                EXPECT_TRUE(Finite(A)) << s.name;
            }
        }
        for (int mode : {1, kHoltWintersPlain, kHoltWintersSeasonal}) {
            for (int d : {0, 2, 4}) {
                for (int h : {-1, 0, 3}) {
                    for (bool optimise : {false, true}) {
                        double constants[3] = {0.5, 0.4, 0.3};
                        double mse = 0.0;
                        std::vector<double> F(std::max(h, 0));
                        if (HoltWintersForecast(mode, n, d, h, Data(s.x), optimise, constants, mse, F.data()) ==
                            kStatusDone) {
                            EXPECT_TRUE(Finite(F) && std::isfinite(mse) && Finite(constants, mode))
                                << s.name << " mode " << mode << " d=" << d << " h=" << h;
                        }
                    }
                }
            }
        }
        double nanConstants[3] = {kNaN, 0.5, 0.5}, mse = 0.0, F[1];
        EXPECT_EQ(HoltWintersForecast(kHoltWintersPlain, n, 0, 1, Data(s.x), false, nanConstants, mse, F),
                  kStatusBadArgument);
    }
}

TEST(HostileInputs, FrequencyDomainLikelihood)
{
    for (const Series& s : AllSeries()) {
        const int m = static_cast<int>(s.x.size());
        const int N = 2 * m + 1;
        std::vector<double> omega(m), I(m);
        for (int j = 0; j < m; ++j) {
            omega[j] = 6.283185307179586 * (j + 1) / N;
            I[j] = std::fabs(s.x[j]);
        }
        for (const Model& model : Models()) {
            if (!OrdersInRange(model)) continue;
            for (double d : {0.0, 0.3, 0.5, kNaN}) {
                std::vector<double> beta = model.coef;
                beta.push_back(d);
                double F = 0.0, sigma2 = 0.0;
                if (SpectralLikelihood(omega.data(), I.data(), m, N, model.p, model.q, beta.data(), F, sigma2) ==
                    kStatusDone) {
                    EXPECT_TRUE(std::isfinite(F) && std::isfinite(sigma2) && sigma2 > 0.0) << s.name << " " << model.name;
                }
            }
        }
        if (m > 13) continue;  // the search is costly; the short series reach every branch
        std::vector<double> phi = {0.2}, theta = {0.1};
        for (double h : {0.1, 0.0, kNaN}) {
            double d = 0.1, step = h, sigma2 = 0.0, F = 0.0;
            if (SpectralLikelihoodSearch(omega.data(), I.data(), m, N, 1, 1, phi.data(), theta.data(), d, step, 1,
                                         sigma2, F) == kStatusDone) {
                EXPECT_TRUE(std::isfinite(F) && std::isfinite(sigma2) && std::isfinite(d) && Finite(phi) &&
                            Finite(theta))
                    << s.name;
            }
        }
    }
}

TEST(HostileInputs, MatrixInversion)
{
    for (const Series& s : AllSeries()) {
        for (int order : {1, 2, 3}) {
            if (static_cast<int>(s.x.size()) < order * order) continue;
            for (int mode : {kInvertGaussJordan, kInvertSymmetric}) {
                std::vector<double> a(54 * order, 0.0);
                for (int j = 0; j < order; ++j)
                    for (int i = 0; i < order; ++i) a[i + 54 * j] = s.x[i + order * j] + (i == j ? 4.0 : 0.0);
                int fail = -99;
                InvertMatrix(order - 1, a.data(), 54, fail, mode);
                if (fail == kStatusDone) {
                    for (int j = 0; j < order; ++j)
                        for (int i = 0; i < order; ++i) EXPECT_TRUE(std::isfinite(a[i + 54 * j])) << s.name;
                }
            }
        }
    }
}

TEST(HostileInputs, Minimiser)
{
    const struct {
        const char* name;
        double scale;  // the objective is scale * sum (x_i - 1)^2
        double start;
    } cases[] = {{"ordinary", 1.0, 0.0},        {"NaN objective", kNaN, 0.0},  {"infinite objective", kInf, 0.0},
                 {"huge objective", 1e300, 0.0}, {"tiny objective", 1e-300, 0.0}, {"NaN start", 1.0, kNaN},
                 {"infinite start", 1.0, kInf},  {"start near the top", 1.0, 1e300}};
    for (const auto& c : cases) {
        for (int n : {0, 1, 2}) {
            std::vector<double> x(std::max(n, 1), c.start), xpls(std::max(n, 1)), gpls(std::max(n, 1)),
                a(3 * 3), wrk(3 * 9);
            double fpls = 0.0;
            int32_t code = -1, iterations = -1;
            std::string progress;
            SetMinimiserOutput(&progress);
            const double scale = c.scale;
            MinimiseObjective(3, n, x.data(), 1e-8, 50,
                              [scale](int32_t count, const double* v, double& f) {
                                  f = 0.0;
                                  for (int32_t i = 0; i < count; ++i) f += (v[i] - 1.0) * (v[i] - 1.0);
                                  f *= scale;
                              },
                              xpls.data(), fpls, gpls.data(), code, a.data(), wrk.data(), iterations);
            SetMinimiserOutput(nullptr);
            EXPECT_GE(code, kStopGradient) << c.name << " n=" << n;
            EXPECT_LE(code, kStopBadArgument) << c.name << " n=" << n;
            if (code <= kStopMaximumSteps) {
                EXPECT_TRUE(std::isfinite(fpls) && Finite(xpls.data(), n)) << c.name << " n=" << n;
            }
        }
    }
}

// A series of 60 ordinary values with one value replaced, or scaled as a whole.
std::vector<double> Sixty(double scale = 1.0, int at = -1, double value = 0.0)
{
    std::vector<double> x(60);
    for (int t = 0; t < 60; ++t) x[t] = scale * (std::sin(0.9 * t) + 0.3 * std::cos(2.3 * t) + 0.02 * t);
    if (at >= 0) x[at] = value;
    return x;
}

// Sixty times of a two-series autoregression X(t) = PHI X(t-1) + Z(t), scaled as a whole, for
// the vector autoregressive fits: element (j, t) at (t-1)·2 + (j-1).
std::vector<double> SixtyPairs(double scale)
{
    std::vector<double> x(120);
    double a = 0.0, b = 0.0;
    for (int t = 0; t < 60; ++t) {
        const double za = std::sin(1.7 * t + 0.2) + 0.5 * std::cos(0.37 * t * t);
        const double zb = std::cos(2.9 * t) + 0.4 * std::sin(0.23 * t * t + 1.0);
        const double na = 0.5 * a + 0.2 * b + za, nb = -0.3 * a + 0.4 * b + zb;
        a = na;
        b = nb;
        x[2 * t] = scale * a;
        x[2 * t + 1] = scale * b;
    }
    return x;
}

// The status of a vector autoregressive fit of order 2 to x (60 times, 2 series).
int VarFitStatus(int (*fit)(const double*, int, int, double*, double*, int&, double&, double*),
                 const std::vector<double>& x)
{
    std::vector<double> PHI(20 * 4), V(4), E(120);
    double aicc = 0.0;
    int p = 2;
    std::string diagnostics;
    SetVarDiagnosticCapture(&diagnostics);
    const int status = fit(x.data(), 60, 2, PHI.data(), V.data(), p, aicc, E.data());
    SetVarDiagnosticCapture(nullptr);
    return status;
}

// The outcome of a forecast command's run on a project holding x: ARAR or Holt-Winters (6
// forecasts from the whole series), or the ARMA forecast of the AR(1) model with phi = 0.5.
enum class ForecastMethod { Arar, HoltWinters, Arma };
int ForecastOutcome(ForecastMethod method, const std::vector<double>& x)
{
    UnivariateProject u;
    VeskInit(u);
    u.series = x;
    u.n = static_cast<int32_t>(x.size());
    u.firstIndex = 1;
    u.lastIndex = u.n;
    ForecastCurves curves;
    switch (method) {
    case ForecastMethod::Arar: {
        ArarSettings a;
        a.count = 6;
        a.first = 1;
        a.last = u.n;
        return ArarForecastRun(u, a, curves);
    }
    case ForecastMethod::HoltWinters: {
        HoltWintersSettings h;
        h.count = 6;
        h.first = 1;
        h.last = u.n;
        return HoltWintersRun(u, h, curves);
    }
    case ForecastMethod::Arma:
        u.p = 1;
        u.phi[1] = 0.5;
        u.wnVariance = 1.0;
        u.forecastSteps = 6;
        return ArmaForecastRun(u, false, 0.0, curves);
    }
    return 0;
}

// The status of the innovations likelihood of the AR(1) model with phi = 0.5 on x.
int Ar1Likelihood(const std::vector<double>& x)
{
    const double coef[1] = {0.5};
    std::vector<double> acvf(60), K(54 * 54), Theta(54 * 54);
    int status = kStatusDone, tconv = 0;
    ArmaAcvf(2, kArmaAcvfCompute, acvf.data(), status, 1.0, coef, 1, 0);
    EXPECT_EQ(ArmaStateCovariance(acvf.data(), 1, 0, coef, K.data()), kStatusDone);
    double S = 0.0, L = 0.0;
    InnovationsLikelihood(0, acvf.data(), S, L, status, x.data(), static_cast<int>(x.size()), coef, 1, 0, K.data(),
                          1e-5, tconv, Theta.data(), nullptr, 0, nullptr, nullptr);
    return status;
}

// Each fault found by stressing the routines, as the call that showed it; every one once ran
// out of bounds, took unbounded work, or reported success with a result that was not finite.
TEST(HostileInputs, FractionalAutocorrelations)
{
    for (const Model& m : Models()) {
        if (m.p > 27 || m.q > 27) continue;
        std::vector<double> phi(27, 0.0), theta(27, 0.0);
        for (int j = 0; j < std::max(m.p, 0); ++j) phi[j] = m.coef[j];
        for (int j = 0; j < std::max(m.q, 0); ++j) theta[j] = m.coef[std::max(m.p, 0) + j];
        for (double d : {0.0, 0.45, -0.49, 0.5, kNaN, kInf}) {
            for (int M : {0, 1, 200, kMaxInfinityWeights + 1, INT_MAX}) {
                for (int L : {-1, 0, 40, kMaxFractionalAcfLags + 1, INT_MAX}) {
                    // Refusals must come before any write: a one-element array catches it.
                    const bool fits = L >= 0 && L <= 40;
                    std::vector<double> acf(fits ? L + 1 : 1, -7.0);
                    double gamma0 = -7.0;
                    if (FractionalArmaAcf(m.p, phi.data(), m.q, theta.data(), d, M, L, acf.data(), gamma0) ==
                        kStatusDone) {
                        EXPECT_TRUE(Finite(acf) && std::isfinite(gamma0) && gamma0 > 0.0)
                            << m.name << " d=" << d << " M=" << M << " L=" << L;
                    }
                }
            }
        }
    }
}

// The statistics views' computations on every hostile series, with hostile models, lag, bin and
// interval counts: a result reported as computed is finite and of the promised size. The
// periodogram routine reports its refusals through the library's error stack, captured here.
using HostileStatisticsInputs = LibraryCapture;

TEST_F(HostileStatisticsInputs, StatisticsViews)
{
    for (const Series& s : AllSeries()) {
        UnivariateFields u;
        u.series = s.x;
        u.n = static_cast<int32_t>(s.x.size());
        u.firstIndex = 1;
        u.lastIndex = u.n;
        for (int32_t lags : {-5, 0, 1, 2, 40, kMaxAcfLags}) {
            u.acfLags = lags;
            if (ComputeSampleAcf(u) == 1) {
                const size_t size = static_cast<size_t>(std::max(lags, 1)) + 1;
                EXPECT_TRUE(u.sampleAcf.size() == size && u.samplePacf.size() == size) << s.name << " " << lags;
                EXPECT_TRUE(Finite(u.sampleAcf) && Finite(u.samplePacf) && std::isfinite(u.sampleGamma0))
                    << s.name << " lags=" << lags;
            }
        }
        for (double lo : {-10.0, 0.0, kNaN, -kInf})
            for (double hi : {10.0, 0.0, 1e308, kInf})
                for (int32_t bins : {-1, 0, 1, 13, kMaxHistogramBins, kMaxHistogramBins + 1, INT_MAX}) {
                    std::vector<double> edges, counts;
                    if (HistogramCounts(s.x, lo, hi, bins, edges, counts) == 1) {
                        EXPECT_TRUE(edges.size() == static_cast<size_t>(bins) + 1 &&
                                    counts.size() == static_cast<size_t>(bins) && Finite(edges) && Finite(counts))
                            << s.name << " " << lo << ".." << hi << " bins=" << bins;
                    }
                }
        if (!s.x.empty()) {
            double R = -7.0, P = -7.0;
            for (int32_t m : {-1, 0, 1, static_cast<int32_t>(s.x.size())})
                if (FisherTest(s.x.data(), m, R, P) == 1) {
                    EXPECT_TRUE(std::isfinite(R) && std::isfinite(P) && P >= 0.0 && P <= 1.0) << s.name << " m=" << m;
                }
        }
        for (const Model& m : Models()) {
            if (m.p > 27 || m.q > 27) continue;
            u.p = m.p;
            u.q = m.q;
            for (int j = 0; j < std::max(m.p, 0); ++j) u.phi[j + 1] = m.coef[j];
            for (int j = 0; j < std::max(m.q, 0); ++j) u.theta[j + 1] = m.coef[std::max(m.p, 0) + j];
            for (double variance : {1.0, 0.0, 1e303, kNaN}) {
                u.wnVariance = variance;
                for (int32_t frac : {0, 1}) {
                    u.fracIntegrated = frac;
                    u.d = frac ? 0.45 : 0.0;
                    u.M = frac ? 60 : 50;
                    for (int32_t K : {-3, 1, 64}) {
                        u.spectrumIntervals = K;
                        if (ComputeSpectrumValues(u) >= 0) {
                            EXPECT_TRUE(Finite(u.modelSpectrum) && !u.modelSpectrum.empty())
                                << s.name << " " << m.name << " variance=" << variance << " K=" << K;
                        }
                        EXPECT_TRUE(Finite(u.periodogram)) << s.name;
                        if (CumulativePeriodogram(u) == 1) {
                            EXPECT_TRUE(Finite(u.cumPeriodogram)) << s.name;
                        }
                        if (CumulativeModelSpectrum(u) == 1) {
                            EXPECT_TRUE(Finite(u.cumModelSpectrum)) << s.name << " " << m.name;
                        }
                    }
                    u.modelAcfLags = 30;
                    if (ComputeModelAcf(u) == 1) {
                        EXPECT_TRUE(Finite(u.modelAcf) && Finite(u.modelPacf) && std::isfinite(u.modelGamma0))
                            << m.name << " variance=" << variance << " frac=" << frac;
                    }
                }
            }
        }
    }
    std::vector<double> f;
    for (int32_t K : {INT_MIN, -1, 0, kMaxSpectrumIntervals + 1, INT_MAX}) {
        EXPECT_EQ(ModelSpectrum(0, nullptr, 0, nullptr, 1.0, 0, 0.0, K, f), -1) << K;
        EXPECT_TRUE(f.empty());
    }
}

// The estimation and regression commands' computations on every hostile series: an estimate or
// a trend reported as done is finite, and the criteria are finite whatever the fit left.
TEST(HostileInputs, EstimationAndRegression)
{
    const Model models[] = {{"AR(1)", 1, 0, {0.5}}, {"MA(1)", 0, 1, {0.4}}, {"ARMA(1,1)", 1, 1, {0.5, 0.3}}};
    for (const Series& s : AllSeries()) {
        for (const Model& m : models) {
            for (int32_t method : {PRELIM_YW_SEARCH, PRELIM_BURG_SEARCH, PRELIM_YW, PRELIM_BURG,
                                   PRELIM_INNOVATIONS, PRELIM_HANNAN_RISSANEN}) {
                UnivariateFields u;
                u.series = s.x;
                u.n = u.lastIndex = static_cast<int32_t>(s.x.size());
                u.firstIndex = 1;
                u.p = m.p;
                u.q = m.q;
                if (m.p) u.phi[1] = m.coef[0];
                if (m.q) u.theta[1] = m.coef[static_cast<size_t>(m.p)];
                int32_t acvf = 10;
                const PrelimResult r = PrelimEstimate(u, acvf, method);
                if (r.outcome == PRELIM_DONE) {
                    EXPECT_TRUE(Finite(u.phi + 1, u.p) && Finite(u.theta + 1, u.q) && std::isfinite(u.wnVariance) &&
                                std::isfinite(u.prelimWnVariance))
                        << s.name << " " << m.name << " method " << method;
                }
                ModelCriteria(u);
                EXPECT_TRUE(std::isfinite(u.bic) && std::isfinite(u.fpe)) << s.name << " " << m.name;
            }
        }
        UnivariateFields u;
        u.series = s.x;
        u.n = u.lastIndex = static_cast<int32_t>(s.x.size());
        u.firstIndex = 1;
        u.polynomialDegree = 1;
        if (SpecifyRegressionDesign(u) == 1 && FitLeastSquaresTrend(u) == REGRESSION_DONE) {
            EXPECT_TRUE(Finite(u.series) && Finite(u.trendValues)) << s.name;
        }
    }
}

// The small matrix routines of the vector autoregressions on matrices filled from the hostile
// series: a result called done is finite.
TEST(HostileInputs, SmallMatrixRoutines)
{
    for (const Series& s : AllSeries()) {
        for (int n : {1, 2, 3}) {
            if (static_cast<int>(s.x.size()) < n * n) continue;
            const std::vector<double> A(s.x.begin(), s.x.begin() + n * n);
            double det = 0.0;
            if (Determinant(A.data(), n, n, det) == kStatusDone) {
                EXPECT_TRUE(std::isfinite(det)) << s.name << " n=" << n;
            }
            float single = 0.0f;
            const std::vector<float> Af(A.begin(), A.end());
            if (Determinant(Af.data(), n, n, single) == kStatusDone) {
                EXPECT_TRUE(std::isfinite(single)) << s.name << " n=" << n << " in single precision";
            }
            std::vector<double> lu = A;
            double parity = 0.0;
            if (LuDecompose(lu.data(), n, parity, n) == kStatusDone) {
                EXPECT_TRUE(Finite(lu)) << s.name << " n=" << n;
            }
            std::vector<double> chol = A;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < j; ++i) chol[i + n * j] = chol[j + n * i];  // symmetric
            if (CHOLES(chol.data(), n, n) == kStatusDone) {
                EXPECT_TRUE(Finite(chol)) << s.name << " n=" << n;
            }
            std::vector<double> inverse = A;
            int flag = -1;
            GaussJordanInverse(n - 1, inverse.data(), flag, n);
            if (flag == 0) {
                EXPECT_TRUE(Finite(inverse)) << s.name << " n=" << n;
            }
        }
    }
    double one = 1.0, det = 0.0;
    for (int n : {INT_MIN, -1, 0}) {
        EXPECT_EQ(Determinant(&one, n, 1, det), kStatusBadArgument) << n;
        EXPECT_EQ(CHOLES(&one, n, 1), kStatusBadArgument) << n;
    }
    EXPECT_EQ(LuDecompose(&one, -1, det, 1), kStatusBadArgument);
    EXPECT_EQ(Determinant(&one, 2, 1, det), kStatusBadArgument);  // leading dimension below n
}

// The pattern search stops whatever its first step and whatever its criterion returns.
TEST(HostileInputs, PatternSearchSteps)
{
    for (double h : {0.0, -1.0, kNaN, kInf, 1e-300, 1.0, 1e300}) {
        for (double value : {1.0, kNaN, -kInf}) {
            double point[2] = {0.5, -0.5};
            double step = h;
            int calls = 0;
            const PatternValue<double> r = PatternSearch(2, 2, point, step, [&](const double* x) {
                ++calls;
                // A bowl around (1, 2), or a criterion that is not finite anywhere.
                const double F = value == 1.0 ? (x[0] - 1) * (x[0] - 1) + (x[1] - 2) * (x[1] - 2) : value;
                return PatternValue<double>{F, 1.0, 0};
            });
            EXPECT_GE(calls, 1) << h << " " << value;
            if (value == 1.0 && h == 1.0) {
                EXPECT_LT(r.F, 0.5);
            }
        }
    }
}

TEST(NumericalFaults, EachIsRefusedWithAStatusOrComputedRight)
{
    const struct {
        const char* fault;
        int expected;
        int (*call)();
    } cases[] = {
        {"innovations likelihood of ARMA(1,1) on n = 1 < 2m", kStatusBadArgument,
         [] {
             const double x[1] = {1.0}, coef[2] = {0.5, 0.3};
             std::vector<double> acvf(60, 1.0), K(54 * 54, 0.0), Theta(54 * 54);
             double S = 0.0, L = 0.0;
             int status = kStatusDone, tconv = 0;
             InnovationsLikelihood(0, acvf.data(), S, L, status, x, 1, coef, 1, 1, K.data(), 1e-5, tconv,
                                   Theta.data(), nullptr, 0, nullptr, nullptr);
             return status;
         }},
        {"innovations likelihood on n = 0 through a null series", kStatusBadArgument,
         [] {
             const double coef[1] = {0.5};
             std::vector<double> acvf(60, 1.0), K(54 * 54, 0.0), Theta(54 * 54);
             double S = 0.0, L = 0.0;
             int status = kStatusDone, tconv = 0;
             InnovationsLikelihood(0, acvf.data(), S, L, status, nullptr, 0, coef, 1, 0, K.data(), 1e-5, tconv,
                                   Theta.data(), nullptr, 0, nullptr, nullptr);
             return status;
         }},
        {"MA-infinity weights for M near INT_MAX", kStatusBadArgument,
         [] {
             double phi[27] = {0.5}, theta[27] = {}, out[1];
             return ArmaInfinityWeights(27, phi, theta, out, 1, 0, 0.2, INT_MAX - 1, 10, kMaInfinity);
         }},
        {"MA-infinity weights for M = 1e5 (seconds of work)", kStatusBadArgument,
         [] {
             double phi[27] = {0.5}, theta[27] = {}, out[1];
             return ArmaInfinityWeights(27, phi, theta, out, 1, 0, 0.2, 100000, 10, kMaInfinity);
         }},
        {"AR-infinity weights with d = 0.7", kStatusBadArgument,
         [] {
             double phi[27] = {}, theta[27] = {}, out[50];
             return ArmaInfinityWeights(27, phi, theta, out, 0, 0, 0.7, 50, 10, kArInfinity);
         }},
        {"MA-infinity weights with d = NaN", kStatusNotFinite,
         [] {
             double phi[27] = {}, theta[27] = {}, out[50];
             return ArmaInfinityWeights(27, phi, theta, out, 0, 0, kNaN, 50, 10, kMaInfinity);
         }},
        {"sample ACF of 60 values at 200000 lags (seconds of work)", kStatusBadArgument,
         [] {
             const std::vector<double> x = Sixty();
             double acf[1], pacf[1], gamma0 = 0.0;
             std::vector<double> work(60);
             int L = 200000;
             return SampleAcfPacf(gamma0, 60, x.data(), acf, pacf, L, work.data());
         }},
        {"tests of randomness with one NaN among 60 residuals (passed as white noise)", kStatusNotFinite,
         [] {
             const std::vector<double> x = Sixty(1.0, 17, kNaN);
             int order = 0;
             double qLB = 0.0, qML = 0.0, tp[3], ds[3], rk[3];
             return RandomnessTests(x.data(), 60, 20, order, qLB, qML, tp, ds, rk);
         }},
        {"exponential smoothing of a series with a NaN (chose alpha 0)", kStatusNotFinite,
         [] {
             const std::vector<double> x = Sixty(1.0, 30, kNaN);
             std::vector<double> m(60);
             double alpha = kExpSmoothSearch;
             return ExponentialSmooth(x.data(), m.data(), 60, alpha);
         }},
        {"FFT smoothing of a series with an infinity", kStatusNotFinite,
         [] {
             const std::vector<double> x = Sixty(1.0, 5, kInf);
             std::vector<double> y(60);
             return FftSmoother(x.data(), y.data(), 60, 0.3);
         }},
        {"classical decomposition of a series with a NaN", kStatusNotFinite,
         [] {
             std::vector<double> x = Sixty(1.0, 3, kNaN), s, comp;
             return ClassicalDecomposition(x, s, comp, 12);
         }},
        {"moving average of a series with a NaN", kStatusNotFinite,
         [] {
             const std::vector<double> x = Sixty(1.0, 3, kNaN);
             std::vector<double> out(60);
             const double w[2] = {0.5, 0.25};
             return MovingAverageSmooth(x.data(), out.data(), 60, w, 1);
         }},
        {"Holt-Winters of a series with a NaN", kStatusNotFinite,
         [] {
             const std::vector<double> x = Sixty(1.0, 40, kNaN);
             double constants[2] = {0.5, 0.5}, mse = 0.0, F[3];
             return HoltWintersForecast(kHoltWintersPlain, 60, 0, 3, x.data(), true, constants, mse, F);
         }},
        {"ARAR memory shortening of a series with a NaN", kStatusNotFinite,
         [] {
             const std::vector<double> x = Sixty(1.0, 40, kNaN);
             std::vector<double> psi;
             return ArarMemoryShortening(x.data(), 60, psi);
         }},
        {"innovations likelihood of a series with an infinity", kStatusNotFinite,
         [] { return Ar1Likelihood(Sixty(1.0, 9, -kInf)); }},
        {"innovations likelihood of values near 1e300 (S = Inf)", kStatusOutOfRange,
         [] { return Ar1Likelihood(Sixty(1e300)); }},
        {"innovations likelihood of an all-zero series (S = 0, likelihood -Inf)", kStatusDegenerate,
         [] { return Ar1Likelihood(std::vector<double>(60, 0.0)); }},
        {"minimiser started where the objective is -Inf (stopped with code 3)", kStopNotFinite,
         [] {
             double x[1] = {0.5}, xpls[1], gpls[1], a[1], wrk[9], fpls = 0.0;
             int32_t code = 0, iterations = 0;
             std::string progress;
             SetMinimiserOutput(&progress);
             MinimiseObjective(1, 1, x, 1e-8, 50, [](int32_t, const double*, double& f) { f = -HUGE_VAL; }, xpls,
                               fpls, gpls, code, a, wrk, iterations);
             SetMinimiserOutput(nullptr);
             return static_cast<int>(code);
         }},
        {"Holt-Winters forecasts of values near 1e300 (error Inf)", kStatusOutOfRange,
         [] {
             const std::vector<double> x = Sixty(1e300);
             double constants[2] = {0.5, 0.5}, mse = 0.0, F[3];
             return HoltWintersForecast(kHoltWintersPlain, 60, 0, 3, x.data(), true, constants, mse, F);
         }},
        {"inverse of diag(1e-310, 2e-310) (success with Inf entries)", kStatusOutOfRange,
         [] {
             std::vector<double> a(54 * 2, 0.0);
             a[0] = 1e-310;
             a[55] = 2e-310;
             int fail = -1;
             InvertMatrix(1, a.data(), 54, fail, kInvertSymmetric);
             return fail;
         }},
        {"fractional ARMA autocorrelations with M = INT_MAX (allocated before the check)", kStatusBadArgument,
         [] {
             const double phi = 0.5;
             double acf[41], gamma0 = 0.0;
             return FractionalArmaAcf(1, &phi, 0, nullptr, 0.3, INT_MAX, 40, acf, gamma0);
         }},
        {"fractional ARMA autocorrelations of a NaN coefficient", kStatusNotFinite,
         [] {
             const double phi = kNaN;
             double acf[41], gamma0 = 0.0;
             return FractionalArmaAcf(1, &phi, 0, nullptr, 0.3, 50, 40, acf, gamma0);
         }},
        {"sample ACF view of a series with a NaN (shown as a constant series)", 0,
         [] {
             UnivariateFields u;
             u.series = Sixty(1.0, 7, kNaN);
             u.n = 60;
             return static_cast<int>(ComputeSampleAcf(u));
         }},
        {"sample ACF view of values near 1e300 (variance Inf shown)", 0,
         [] {
             UnivariateFields u;
             u.series = Sixty(1e300);
             u.n = 60;
             return static_cast<int>(ComputeSampleAcf(u));
         }},
        {"model spectrum with 0 intervals (frequencies 0/0)", -1,
         [] {
             std::vector<double> f;
             return static_cast<int>(ModelSpectrum(0, nullptr, 0, nullptr, 1.0, 0, 0.0, 0, f));
         }},
        {"model spectrum of a unit root with variance 1e303 (1e6 times it is Inf)", -1,
         [] {
             const double one = 1.0;
             std::vector<double> f;
             return static_cast<int>(ModelSpectrum(1, &one, 0, nullptr, 1e303, 0, 0.0, 16, f));
         }},
        {"histogram of INT_MAX bins (allocated 16 GB)", 0,
         [] {
             std::vector<double> edges, counts;
             return static_cast<int>(HistogramCounts({1.0, 2.0}, 0.0, 3.0, INT_MAX, edges, counts));
         }},
        {"determinant of 1e200 times the identity (Inf called done)", kStatusOutOfRange,
         [] {
             const double a[4] = {1e200, 0.0, 0.0, 1e200};
             double det = 0.0;
             return Determinant(a, 2, 2, det);
         }},
        {"Cholesky factor of an empty matrix (read element (1, 1))", kStatusBadArgument,
         [] { return CHOLES(static_cast<double*>(nullptr), 0, 1); }},
        {"Gauss-Jordan inverse of a matrix with a NaN (flag 0)", 2,
         [] {
             double a[4] = {1.0, kNaN, 0.0, 1.0};
             int flag = -1;
             GaussJordanInverse(1, a, flag, 2);
             return flag;
         }},
        {"pattern search from a NaN start (NaN differs from itself: never stopped)", 0,
         [] {
             double point[1] = {kNaN}, h = 0.1;
             return PatternSearch(1, 1, point, h, [](const double*) { return PatternValue<double>{1e30, 0.0, 0}; })
                 .status;
         }},
        {"pattern search with a first step of 0 (never stopped)", 0,
         [] {
             double point[1] = {0.0}, h = 0.0;
             return PatternSearch(1, 1, point, h, [](const double* x) { return PatternValue<double>{x[0] * x[0], 1.0, 0}; })
                 .status;
         }},
        {"Burg fit of a two-series AR table at 1e80 (numerical difficulties)", kStatusDone,
         [] { return VarFitStatus(BurgMvarFit, SixtyPairs(1e80)); }},
        {"Burg fit of a two-series AR table at 1e-90 (numerical difficulties)", kStatusDone,
         [] { return VarFitStatus(BurgMvarFit, SixtyPairs(1e-90)); }},
        {"Burg fit of a two-series AR table at 1e160 (numerical difficulties)", kStatusOutOfRange,
         [] { return VarFitStatus(BurgMvarFit, SixtyPairs(1e160)); }},
        {"Yule-Walker fit of a two-series AR table at 1e150", kStatusDone,
         [] { return VarFitStatus(WhittleMvarFit, SixtyPairs(1e150)); }},
        {"Yule-Walker fit of a two-series AR table at 1e160 (numerical difficulties)", kStatusOutOfRange,
         [] { return VarFitStatus(WhittleMvarFit, SixtyPairs(1e160)); }},
        {"Yule-Walker fit of a two-series AR table at 1e-160 (a subnormal covariance called done)",
         kStatusOutOfRange, [] { return VarFitStatus(WhittleMvarFit, SixtyPairs(1e-160)); }},
        {"ARAR forecast of 60 values near 1e160 (refused for too few observations)", FORECAST_DONE,
         [] { return ForecastOutcome(ForecastMethod::Arar, Sixty(1e160)); }},
        {"ARAR forecast of 60 values near 1e-160", FORECAST_DONE,
         [] { return ForecastOutcome(ForecastMethod::Arar, Sixty(1e-160)); }},
        {"Holt-Winters forecast of 60 values near 1e160 (refused for too few observations)", FORECAST_DONE,
         [] { return ForecastOutcome(ForecastMethod::HoltWinters, Sixty(1e160)); }},
        {"Holt-Winters forecast of 60 values near 1e-160 (refused for too few observations)", FORECAST_DONE,
         [] { return ForecastOutcome(ForecastMethod::HoltWinters, Sixty(1e-160)); }},
        {"ARMA forecast of a causal AR(1) near 1e160 (refused as not causal)", FORECAST_VALUES_OUT_OF_RANGE,
         [] { return ForecastOutcome(ForecastMethod::Arma, Sixty(1e160)); }},
        {"ARMA forecast of a causal AR(1) near 1e-160 (refused as not causal)", FORECAST_VALUES_OUT_OF_RANGE,
         [] { return ForecastOutcome(ForecastMethod::Arma, Sixty(1e-160)); }},
    };
    for (const auto& c : cases) EXPECT_EQ(c.call(), c.expected) << c.fault;
}

// Faults whose mend computes the right answer instead of refusing.
TEST(NumericalFaults, TinyArgumentsAndExtremeScalesAreComputedRight)
{
    // ln Gamma(x) near 0 is -ln x + O(x); it once came out +Inf below 1e-16.
    for (double x : {1e-300, 1e-17, 1e-10, 4.9e-324}) EXPECT_NEAR(LogGamma(x), -std::log(x), 1e-9) << x;
    EXPECT_NEAR(LogGamma(0.5), 0.5723649429, 1e-9);

    // ARAR fits and forecasts of a series whose sums of squares overflow (2^511 times values
    // up to about 2) are those of the same series at an ordinary scale (they once came out Inf
    // with status success). Near 1e300 the white-noise variance itself exceeds the doubles: the
    // fit is refused rather than reported with an infinite variance.
    const double factor = std::ldexp(1.0, 511);
    const std::vector<double> ordinary = Sixty(), large = Sixty(factor);
    for (int criterion = 1; criterion <= 3; ++criterion) {
        ArarFitResult small, big;
        ASSERT_EQ(ArarSubsetFit(ordinary.data(), 60, {1.0}, criterion, small), kStatusDone) << criterion;
        ASSERT_EQ(ArarSubsetFit(large.data(), 60, {1.0}, criterion, big), kStatusDone) << criterion;
        double Fs[4], Fl[4];
        ASSERT_EQ(ArarForecast(ordinary.data(), 60, small, 4, Fs), kStatusDone);
        ASSERT_EQ(ArarForecast(large.data(), 60, big, 4, Fl), kStatusDone);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(Fl[k] / factor, Fs[k], 1e-9 * (1.0 + std::fabs(Fs[k]))) << criterion << " " << k;
        EXPECT_NEAR(big.rootMse / factor, small.rootMse, 1e-9 * small.rootMse) << criterion;
        EXPECT_NEAR(big.whiteNoiseVariance / factor / factor, small.whiteNoiseVariance,
                    1e-9 * small.whiteNoiseVariance) << criterion;
        // The likelihood criterion moves by m ln(factor^2) with the scale, the others by factor^2.
        const double criterionValue = criterion == 3 ? big.criterionValue - 2.0 * 60 * std::log(factor)
                                                     : big.criterionValue / factor / factor;
        EXPECT_NEAR(criterionValue, small.criterionValue, 1e-9 * (1.0 + std::fabs(small.criterionValue)))
            << criterion;
        EXPECT_EQ(std::vector<int>(big.lags, big.lags + 4), std::vector<int>(small.lags, small.lags + 4))
            << criterion;
    }
    ArarFitResult refused;
    EXPECT_EQ(ArarSubsetFit(Sixty(1e300).data(), 60, {1.0}, 1, refused), kStatusOutOfRange);

    // Holt-Winters chooses the same constants at every scale, and forecasts times the scale:
    // from about 1e15 on the errors once exceeded the penalty of constants outside [0, 1], and
    // the search left [0, 1].
    double unit[2] = {0.5, 0.5}, unitMse = 0.0, unitF[3];
    ASSERT_EQ(HoltWintersForecast(kHoltWintersPlain, 60, 0, 3, ordinary.data(), true, unit, unitMse, unitF),
              kStatusDone);
    for (double c : {1e20, 1e100, 1e150, 1e-150}) {
        const std::vector<double> x = Sixty(c);
        double constants[2] = {0.5, 0.5}, mse = 0.0, F[3];
        ASSERT_EQ(HoltWintersForecast(kHoltWintersPlain, 60, 0, 3, x.data(), true, constants, mse, F), kStatusDone)
            << c;
        EXPECT_NEAR(constants[0], unit[0], 1e-12) << c;
        EXPECT_NEAR(constants[1], unit[1], 1e-12) << c;
        EXPECT_NEAR(mse / c / c, unitMse, 1e-9 * unitMse) << c;
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(F[k] / c, unitF[k], 1e-9 * std::fabs(unitF[k])) << c << " " << k;
    }
}

TEST(HostileInputs, VectorAutoregressions)
{
    std::string diagnostics;
    SetVarDiagnosticCapture(&diagnostics);
    for (const Series& s : AllSeries()) {
        // The series read as m components of n / m times each.
        for (int m : {1, 2}) {
            const int n = static_cast<int>(s.x.size()) / m;
            for (int order : {-1, 0, 2, 21}) {
                std::vector<double> PHI(20 * m * m), V(m * m), out(static_cast<size_t>(m) * std::max(n, 0));
                double aicc = 0.0;
                int p = order;
                const int burg = BurgMvarFit(Data(s.x), n, m, PHI.data(), V.data(), p, aicc, out.data());
                if (burg == kStatusDone || burg == kStatusLowerOrder) {
                    EXPECT_TRUE(std::isfinite(aicc) && Finite(V) && Finite(PHI.data(), 20L * m * m)) << s.name << " m=" << m;
                }
                p = order;
                const int whittle = WhittleMvarFit(Data(s.x), n, m, PHI.data(), V.data(), p, aicc, out.data());
                if (whittle == kStatusDone || whittle == kStatusLowerOrder) {
                    EXPECT_TRUE(std::isfinite(aicc) && Finite(V) && Finite(out)) << s.name << " m=" << m;
                }
            }
        }
    }
    SetVarDiagnosticCapture(nullptr);
}

// The multivariate table reader on hostile files with hostile counts of numbers a vector:
// repeat counts past the integers, repeats standing for billions of numbers, values out of
// range. A table read is n by m finite values, no more than the file holds nor than the largest
// table; the dialog's read never gives fewer time points than series.
TEST(HostileInputs, TableFiles)
{
    std::string repeatLines;
    for (int k = 0; k < 3; ++k) repeatLines += "2147483647*1\n";
    const std::string texts[] = {
        "99999999999999999999*1 2\n", "4611686018427387904*1 4611686018427387904*1\n", "2000000000*1.5",
        repeatLines, "1e400 2\n3 4\n", "NaN 1\n", "1e-400 1\n2 3\n", "", "\n \n", "*1 2\n", "0*1 2\n",
        "3*\n", "1 2 3\n4 5 6\n7 8 9\n", "1,,2\n/\n", "-1.7976931348623157e308 1.7976931348623157e308\n1 2\n",
    };
    for (const std::string& text : texts) {
        const MvTableFile file = MvTableFromText(text);
        EXPECT_TRUE(file.numbers >= file.lines && file.numbers <= (int64_t{1} << 62)) << text;
        for (int32_t m : {INT_MIN, -1, 0, 1, 2, 3, 1000, 100000000, static_cast<int32_t>(kMvMaxTableValues) + 1,
                          INT_MAX}) {
            std::vector<double> table;
            const int32_t n = MultivarReadTable(file, m, table);
            if (n > 0) {
                const int64_t cells = static_cast<int64_t>(n) * m;
                EXPECT_EQ(table.size(), static_cast<size_t>(cells)) << text << " m=" << m;
                EXPECT_TRUE(cells <= file.numbers && cells <= kMvMaxTableValues && Finite(table)) << text << " m=" << m;
            } else {
                EXPECT_TRUE(table.empty() && n >= kMvTableTooLarge) << text << " m=" << m;
            }
            std::string first, last, message;
            EXPECT_EQ(MultivarPreviewTexts(file, m, first, last), n != 0 && m <= kMvMaxTableValues ? 1 : 0)
                << text << " m=" << m;
            const int32_t dialogN = MultivarReadDialogTable(file, m, table, message);
            EXPECT_TRUE(dialogN == 0 ? !message.empty() : (dialogN == n && dialogN >= m)) << text << " m=" << m;
        }
    }
}

// Clipboard text of every hostile series, and of values at the largest double: what Copy writes
// of finite values Paste reads back finite within the 5 digits; other values are refused.
TEST(HostileInputs, ClipboardText)
{
    std::vector<Series> all = AllSeries();
    const double largest = std::numeric_limits<double>::max();
    all.push_back({"at the largest double", {largest, -largest, largest * (1 - 2e-5), -std::nextafter(largest, 0.0)}});
    for (const Series& s : all) {
        if (s.x.empty()) continue;
        std::vector<double> read;
        const ClipboardParse series = ParseClipboardSeries(FormatClipboardSeries(s.x), read);
        int32_t columns = 0, rows = 0;
        std::vector<double> table;
        const ClipboardParse parsed =
            ParseClipboardTable(FormatClipboardTable(1, static_cast<int32_t>(s.x.size()), s.x), columns, rows, table);
        if (!Finite(s.x)) {
            EXPECT_TRUE(series.status == -1 && parsed.status == -1) << s.name;
            continue;
        }
        ASSERT_TRUE(series.status == 1 && parsed.status == 1) << s.name << ": " << series.message << parsed.message;
        ASSERT_TRUE(read.size() == s.x.size() && table.size() == s.x.size()) << s.name;
        for (size_t i = 0; i < s.x.size(); ++i) {
            EXPECT_NEAR(read[i], s.x[i], 1e-4 * std::fabs(s.x[i])) << s.name << " " << i;
            EXPECT_EQ(table[i], read[i]) << s.name << " " << i;
        }
    }

    // A number below the smallest double is pasted as the file readers read it: as its nearest
    // double, zero.
    for (const std::string tiny : {"1e-400", "-1e-400", "2.4e-324"}) {
        std::vector<double> pasted, pastedRow, fromFile;
        int32_t columns = 0, rows = 0;
        ASSERT_EQ(ParseClipboardSeries("1\r\n" + tiny, pasted).status, 1) << tiny;
        ASSERT_EQ(ParseClipboardTable("1\t" + tiny, columns, rows, pastedRow).status, 1) << tiny;
        ASSERT_EQ(MultivarReadTable(MvTableFromText("1 " + tiny + "\n"), 2, fromFile), 1) << tiny;
        const AsciiSeries series = ParseAsciiSeries("1\n" + tiny + "\n");
        ASSERT_EQ(series.values.size(), 2u) << tiny;
        EXPECT_EQ(pasted[1], 0.0) << tiny;
        EXPECT_EQ(pastedRow[1], 0.0) << tiny;
        EXPECT_EQ(fromFile[1], 0.0) << tiny;
        EXPECT_EQ(series.values[1], 0.0) << tiny;
    }
}

// Every transform on every finite hostile series, and on short series within a few per cent of
// the largest double or far below 1: a transform that applies leaves finite values and its Undo
// gives the series back to a relative 1e-8 of the largest value; a refused one changes nothing.
TEST(HostileInputs, TransformsAndTheirUndo)
{
    std::vector<Series> series;
    for (const Series& s : AllSeries())
        if (Finite(s.x) && !s.x.empty()) series.push_back(s);
    for (int n : {2, 3, 4, 6, 13}) {
        std::vector<double> top(n), mixed(n), tiny(n);
        for (int t = 0; t < n; ++t) {
            const double wave = std::sin(2.1 * t + 0.3);
            top[t] = 1.7976931348623157e308 * (0.97 + 0.03 * wave * wave);
            mixed[t] = (t % 3 == 1 ? -1 : 1) * top[t];
            tiny[t] = 1e-20 * (2.0 + wave);
        }
        series.push_back({"near the largest double n=" + std::to_string(n), top});
        series.push_back({"near plus and minus the largest double n=" + std::to_string(n), mixed});
        series.push_back({"near 1e-20 n=" + std::to_string(n), tiny});
    }
    const struct {
        const char* name;
        int32_t (*apply)(UnivariateProject&);
    } transforms[] = {
        {"difference", [](UnivariateProject& u) { return ApplyDifference(u, 1); }},
        {"logarithm", [](UnivariateProject& u) { return ApplyBoxCox(u, 0.0); }},
        {"Box-Cox 1e-7", [](UnivariateProject& u) { return ApplyBoxCox(u, 1e-7); }},
        {"Box-Cox 3e-6", [](UnivariateProject& u) { return ApplyBoxCox(u, 3e-6); }},
        {"Box-Cox 1", [](UnivariateProject& u) { return ApplyBoxCox(u, 1.0); }},
        {"Box-Cox 1.5", [](UnivariateProject& u) { return ApplyBoxCox(u, 1.5); }},
        {"linear trend",
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, -1, fit, 1);
         }},
        {"quadratic trend",
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, -1, fit, 2);
         }},
        {"period 2, quadratic trend",
         [](UnivariateProject& u) {
             std::vector<double> fit;
             return ApplyClassicalSeasonal(u, 2, fit, 2);
         }},
        {"one harmonic, linear trend",
         [](UnivariateProject& u) {
             std::vector<double> fit;
             const int32_t one[4] = {1, 0, 0, 0};
             return ApplyClassicalHarmonic(u, fit, 1, one, 1);
         }},
        {"subtract mean", [](UnivariateProject& u) { return ApplySubtractMean(u); }},
        {"subsequence, then Box-Cox 0.0015",
         [](UnivariateProject& u) { return ApplySubsequence(u, 1, u.lastIndex - 1) ? ApplyBoxCox(u, 0.0015) : 0; }},
    };
    for (const Series& s : series) {
        for (const auto& transform : transforms) {
            UnivariateProject u;
            VeskInit(u);
            u.series = s.x;
            u.n = static_cast<int32_t>(s.x.size());
            u.firstIndex = 1;
            u.lastIndex = u.n;
            const std::string where = std::string(transform.name) + " of " + s.name;
            if (!transform.apply(u)) {
                // Only the subsequence of the last case may stand when its Box-Cox is refused.
                if (u.transforms && u.transforms->kind == TRANSFORM_SUBSEQUENCE) {
                    EXPECT_EQ(UndoNewestTransform(u), 1) << where;
                }
                EXPECT_EQ(u.transforms, nullptr) << where;
                EXPECT_EQ(u.series, s.x) << where;
                continue;
            }
            EXPECT_TRUE(Finite(u.series)) << where;
            while (u.transforms) {
                ASSERT_EQ(UndoNewestTransform(u), 1) << where;
            }
            ASSERT_EQ(u.series.size(), s.x.size()) << where;
            double top = 0.0;
            for (double v : s.x) top = std::fmax(top, std::fabs(v));
            for (size_t t = 0; t < s.x.size(); ++t)
                EXPECT_LE(std::fabs(u.series[t] - s.x[t]), 1e-8 * top) << where << " at " << t;
        }
    }
}

using HostileLibraryInputs = LibraryCapture;

// Least squares on a design below the smallest normal double: once NaN coefficients with no error.
TEST_F(HostileLibraryInputs, LeastSquaresOnASubnormalDesign)
{
    // y = 2 + 3 t, exactly, with every value scaled by 1e-310.
    const int n = 5;
    std::vector<double> design(2 * n), y(n), x(2), res(n);
    for (int t = 0; t < n; ++t) {
        design[t] = 1e-310;
        design[n + t] = (t + 1) * 1e-310;
        y[t] = (2.0 + 3.0 * (t + 1)) * 1e-310;
    }
    int kbasis = -1;
    Clear();
    DLSQRR(n, 2, design.data(), n, y.data(), 1e-10, x.data(), res.data(), kbasis);
    ASSERT_FALSE(LibraryCallAbandoned()) << output;
    EXPECT_EQ(kbasis, 2);
    EXPECT_NEAR(x[0], 2.0, 1e-9);
    EXPECT_NEAR(x[1], 3.0, 1e-9);

    // Against a right-hand side of ordinary size the coefficients would be near 1e310: refused.
    for (double& v : y) v = v * 1e300 * 1e10;
    Clear();
    DLSQRR(n, 2, design.data(), n, y.data(), 1e-10, x.data(), res.data(), kbasis);
    EXPECT_TRUE(LibraryCallAbandoned());
    EXPECT_NE(output.find("The solution is too large"), std::string::npos) << output;

    // Periodogram ordinates of values near 1e300 do not fit a double: refused, not Inf.
    const std::vector<double> huge = Sixty(1e300);
    std::vector<double> pm(5 * 31);
    Clear();
    DPFFT(60, huge.data(), 0, 0.0, 0, 0, 0, pm.data(), 31);
    EXPECT_TRUE(LibraryCallAbandoned());
    EXPECT_NE(output.find("ordinates are too large"), std::string::npos) << output;
}

// The library's routines report through its error stack: a call that was not abandoned is a
// success, and its results must be finite.
TEST_F(HostileLibraryInputs, LeastSquaresInversePeriodogramAndTransform)
{
    for (const Series& s : AllSeries()) {
        const int n = static_cast<int>(s.x.size());
        // Regression of x on (1, x, x shifted): a design and right-hand side from the series.
        std::vector<double> design(3 * static_cast<size_t>(n));
        for (int t = 0; t < n; ++t) {
            design[t] = 1.0;
            design[n + t] = s.x[t];
            design[2 * n + t] = s.x[(t + 1) % n];
        }
        std::vector<double> x(3), res(n);
        int kbasis = -1;
        Clear();
        DLSQRR(n, 3, design.data(), std::max(n, 1), Data(s.x), 1e-10, x.data(), res.data(), kbasis);
        if (!LibraryCallAbandoned()) {
            EXPECT_TRUE(Finite(x) && Finite(res)) << s.name;
        }

        for (int order : {1, 2}) {
            if (n < order * order) continue;
            std::vector<double> a(order * order), inverse(order * order);
            for (int j = 0; j < order; ++j)
                for (int i = 0; i < order; ++i) a[i + order * j] = s.x[std::min(i, j) + order * std::max(i, j)];
            for (int i = 0; i < order; ++i) a[i + order * i] = std::fabs(a[i + order * i]) + (s.x[0] == 0 ? 1.0 : 0.0);
            Clear();
            DLINDS(order, a.data(), order, inverse.data(), order);
            if (!LibraryCallAbandoned()) {
                EXPECT_TRUE(Finite(inverse)) << s.name << " order " << order;
            }
        }

        for (int npad : {0, 3}) {
            const int N = n + npad;
            std::vector<double> pm(5 * static_cast<size_t>(N / 2 + 1));
            Clear();
            DPFFT(n, Data(s.x), 0, 0.0, npad, 0, 0, pm.data(), N / 2 + 1);
            if (!LibraryCallAbandoned()) {
                for (int k = 0; k <= N / 2; ++k)
                    for (int col : {2, 3, 4})
                        EXPECT_TRUE(std::isfinite(pm[col * (N / 2 + 1) + k])) << s.name << " k=" << k;
            }
        }

        std::vector<double> in(2 * static_cast<size_t>(n)), out(2 * static_cast<size_t>(n)), work(2 * static_cast<size_t>(n)),
            ftab(4 * static_cast<size_t>(n) + 15);
        for (int t = 0; t < n; ++t) in[2 * t] = s.x[t];
        Clear();
        DFFTCI(n, ftab.data());
        const bool prepared = !LibraryCallAbandoned();
        Clear();
        if (prepared) DF2TCF(n, in.data(), out.data(), ftab.data(), work.data());
        if (prepared && !LibraryCallAbandoned()) {
            EXPECT_TRUE(Finite(out)) << s.name;
        }
    }
}

}  // namespace

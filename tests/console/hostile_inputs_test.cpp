// The console programs' numerical routines against hostile input: NaN, infinities, values near
// the ends of the single-precision range, lengths 0 to 4, constant and all-zero series, and counts
// at and beyond their limits. Under the sanitizers a routine may refuse, but it must stay inside
// its arrays, return, and never report success with a result that is not finite.
#include "console/drav_fit.h"
#include "console/halvire_fit.h"
#include "console/halvire_model.h"
#include "console/molda_fit.h"
#include "console/var_numerics.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

const float kNaNf = std::numeric_limits<float>::quiet_NaN();
const float kInff = std::numeric_limits<float>::infinity();

struct Series {
    std::string name;
    std::vector<float> x;
};

// Lengths 0..4 and two longer ones, each in every hostile form.
const std::vector<Series>& AllSeries()
{
    static const std::vector<Series> all = [] {
        std::vector<Series> out;
        for (int n : {0, 1, 2, 3, 4, 24, 64}) {
            std::vector<float> base(static_cast<size_t>(n));
            for (int t = 0; t < n; ++t) base[static_cast<size_t>(t)] = std::sin(1.3f * t + 0.4f) + 0.1f * t;
            const auto with = [&](const std::string& kind, auto make) {
                std::vector<float> x = base;
                for (int t = 0; t < n; ++t) x[static_cast<size_t>(t)] = make(t, base[static_cast<size_t>(t)]);
                out.push_back({kind + " n=" + std::to_string(n), x});
            };
            with("ordinary", [](int, float v) { return v; });
            with("zero", [](int, float) { return 0.0f; });
            with("constant", [](int, float) { return 5.0f; });
            with("near 1e38", [](int, float v) { return 1e38f * v / 8; });
            with("near 1e-38", [](int, float v) { return 1e-38f * v; });
            with("one NaN", [n](int t, float v) { return t == n / 2 ? kNaNf : v; });
            with("one infinity", [n](int t, float v) { return t == n - 1 ? kInff : v; });
        }
        return out;
    }();
    return all;
}

template <typename T>
bool Finite(const T* x, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (!std::isfinite(x[i])) return false;
    return true;
}

template <typename T>
bool Finite(const std::vector<T>& x)
{
    return Finite(x.data(), x.size());
}

// Long-memory models of every kind the program's checks may let through or a file may hold.
std::vector<FracArmaModel> Models()
{
    std::vector<FracArmaModel> models;
    const auto add = [&](int p, int q, float phi, float theta, float d) {
        FracArmaModel m;
        m.p = p;
        m.q = q;
        for (int i = 0; i < std::max(0, std::min(p, kHalvireMaxOrder)); ++i) m.phi[i] = phi;
        for (int i = 0; i < std::max(0, std::min(q, kHalvireMaxOrder)); ++i) m.theta[i] = theta;
        m.d = d;
        models.push_back(m);
    };
    add(0, 0, 0, 0, 0.3f);
    add(1, 1, 0.5f, 0.4f, -0.3f);
    add(1, 0, 1.0f, 0, 0.2f);        // unit root
    add(0, 1, 0, 2.0f, 0.1f);        // not invertible
    add(1, 0, kNaNf, 0, 0.2f);
    add(0, 1, 0, kInff, 0.2f);
    add(0, 0, 0, 0, 0.5f);           // d at its limit
    add(0, 0, 0, 0, kNaNf);
    add(kHalvireMaxOrder + 1, 0, 0.01f, 0, 0.1f);
    add(-1, 0, 0, 0, 0.1f);
    return models;
}

std::string Describe(const FracArmaModel& m)
{
    return "p=" + std::to_string(m.p) + " q=" + std::to_string(m.q) + " phi=" + std::to_string(m.phi[0]) +
           " theta=" + std::to_string(m.theta[0]) + " d=" + std::to_string(m.d);
}

}  // namespace

TEST(ConsoleHostileInputs, LongMemoryModels)
{
    for (float x : {kNaNf, -kInff, -1.0f, 0.0f, 1e-45f, 1e-38f, 1e-10f, 0.5f, 1.0f, 3e38f, kInff}) {
        // ln Gamma(3e38) is about 2.6e40, beyond the single-precision range.
        const float v = HalvireLogGamma(x);
        if (x > 0.0f && x < 1e30f) {
            EXPECT_TRUE(std::isfinite(v)) << x;
        } else if (x == 3e38f) {
            EXPECT_EQ(v, kInff);
        }
    }
    for (const FracArmaModel& model : Models()) {
        for (int H : {-1, 0, 40}) {
            for (int N : {-1, 0, kHalvireMinTerms, kHalvireMaxTerms + 1}) {
                std::vector<float> gamma;
                if (FracAcvf(model, H, N, gamma) == 1) {
                    EXPECT_TRUE(gamma.size() == static_cast<size_t>(H) + 1 && Finite(gamma))
                        << Describe(model) << " H=" << H << " N=" << N;
                }
            }
        }
        for (float sigma2 : {1.0f, 0.0f, -1.0f, 3e38f, kNaNf}) {
            for (int n : {0, 1, 2, 64, kHalvireMaxData + 1}) {
                std::vector<float> x(n >= 1 && n <= 64 ? static_cast<size_t>(n) : 1);
                if (FracSimulate(model, sigma2, n, kHalvireMinTerms, x.data()) == 1) {
                    EXPECT_TRUE(Finite(x)) << Describe(model) << " sigma2=" << sigma2 << " n=" << n;
                }
            }
        }
    }
}

TEST(ConsoleHostileInputs, LongMemoryPredictionAndWhittleFit)
{
    const std::vector<FracArmaModel> models = Models();
    for (const Series& s : AllSeries()) {
        const int n = static_cast<int>(s.x.size());
        for (const FracArmaModel& model : {models[0], models[1], models[4]}) {
            for (int h : {-1, 0, 3, kHalvireMaxSeries}) {
                const size_t size = static_cast<size_t>(n) + (h >= 0 && h <= 3 ? h : 0);
                std::vector<float> x(size), mse(size);
                std::copy(s.x.begin(), s.x.end(), x.begin());
                if (FracPredict(model, 1.0f, n, h, kHalvireMinTerms, x.data(), mse.data()) == 1 && h > 0) {
                    EXPECT_TRUE(Finite(x.data() + n, static_cast<size_t>(h)) &&
                                Finite(mse.data() + n, static_cast<size_t>(h)))
                        << s.name << " " << Describe(model) << " h=" << h;
                }
            }
        }
        for (int p : {-1, 0, 1, kHalvireMaxOrder + 1}) {
            for (int q : {0, 1}) {
                for (float start : {0.1f, kNaNf}) {
                    const int k = std::max(p, 0) + q + 1;
                    std::vector<float> beta(static_cast<size_t>(std::max(k, 1)), start);
                    float F = 0.0f, A = 0.0f;
                    if (WhittleLikelihood(s.x.data(), n, p, q, beta.data(), F, A) == 1) {
                        EXPECT_TRUE(std::isfinite(F) && std::isfinite(A) && A > 0.0f) << s.name << " p=" << p;
                    }
                    for (float step : {0.1f, 0.0f, kNaNf, kInff}) {
                        float h = step;
                        std::vector<float> b = beta;
                        if (WhittleSearch(s.x.data(), n, p, q, b.data(), k, h, F, A) == 1) {
                            EXPECT_TRUE(Finite(b) && std::isfinite(F) && std::isfinite(A))
                                << s.name << " p=" << p << " q=" << q << " step=" << step;
                        }
                    }
                }
            }
        }
    }
}

// The two multivariate autoregressions on series built from the hostile ones, m = 1 and 2.
TEST(ConsoleHostileInputs, MultivariateAutoregressions)
{
    auto moldaWork = std::make_unique<MoldaWork>();
    auto dravWork = std::make_unique<DravWork>();
    for (const Series& s : AllSeries()) {
        for (int m : {1, 2}) {
            const int nPrime = static_cast<int>(s.x.size()) / m;
            if (nPrime < 1) continue;
            std::vector<double> Y(s.x.begin(), s.x.begin() + nPrime * m);
            for (int P : {0, 1, 3, kVarLags, kVarLags + 1}) {
                if (P >= nPrime || P > kVarLags) continue;  // the callers' bounds
                std::vector<float> e(Y.size());
                int failed = -1;
                if (MoldaRecursion(Y.data(), nPrime, m, P, *moldaWork, e.data(), failed) == 1) {
                    EXPECT_TRUE(Finite(moldaWork->aicc, static_cast<size_t>(P) + 1) &&
                                Finite(moldaWork->logDet, static_cast<size_t>(P) + 1))
                        << s.name << " m=" << m << " P=" << P;
                }
                // The Burg fit takes the series time first.
                std::vector<float> D(Y.size());
                for (int t = 0; t < nPrime; ++t)
                    for (int j = 0; j < m; ++j) D[static_cast<size_t>(t + nPrime * j)] = static_cast<float>(Y[t * m + j]);
                std::vector<float> PHI(kVarLagSetLength), V(kVarMatrix);
                int q = -1;
                float aicc = 0.0f;
                BurgFitEnd end;
                BurgFit(-1, nPrime, m, P, D.data(), PHI.data(), q, V.data(), aicc, *dravWork, end);
                EXPECT_TRUE(q >= 0 && q <= P) << s.name << " m=" << m << " P=" << P;
                if (end.order == 0 && q >= 1) {
                    EXPECT_TRUE(Finite(PHI.data(), static_cast<size_t>(q) * kVarMatrix) && std::isfinite(aicc))
                        << s.name << " m=" << m << " P=" << P;
                }
            }
        }
    }
}

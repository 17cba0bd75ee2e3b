# Reference tables for the model evaluation, residuals, tests of randomness and switch to an
# invertible model (tests/unit/model_evaluation_test.cpp, tests/unit/residuals_test.cpp; the
# switch table also tests/unit/switch_invertible_test.cpp and tests/unit/polynomial_roots_test.cpp).
# Run from the repository root:
#   Rscript scripts/reference/model_evaluation.R
# Likelihoods and residuals come from R's arima with every coefficient fixed and zero mean (exact
# Gaussian likelihood, Kalman filter); the reduced likelihood is -2 loglik / n - ln(2 pi) - 1 =
# ln(S/n) + L/n and sigma2 = S/n. The report lines of the tests of randomness are written with
# Box.test's statistics formatted to 5 significant digits (F15.d with d = 4 - floor(log10 |x|),
# F15.0 when d <= 1). The invertible MA part of a switch comes from polyroot with the roots inside
# the unit circle reflected (1/conj(r)), the noise variance growing by 1/|r|^2 for each.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) if (length(v) == 0) "" else paste(fmt(v), collapse = " ")
source(file.path("scripts", "reference", "randomness_helpers.R"))

set.seed(20250115)
sim <- function(ar, ma, n) as.numeric(arima.sim(list(ar = ar, ma = ma), n = n))
sar_ar <- c(0.5, rep(0, 10), 0.4, -0.2)  # (1 - 0.5B)(1 - 0.4B^12)
series <- list(
    arma11 = sim(0.6, 0.3, 100),
    arma22 = sim(c(1.1, -0.4), c(-0.3, 0.2), 150),
    wn = rnorm(80),
    sar = sim(sar_ar, numeric(0), 240),
    ma2 = sim(numeric(0), c(0.5, 0.3), 120))

# Each model in the project's layout: p, q and the coefficients phi1..phip theta1..thetaq, with a
# relation (a, b, d) where the model has one.
models <- list(
    list(id = "arma11", s = "arma11", ar = 0.55, ma = 0.25, rel = integer(0)),
    list(id = "arma22", s = "arma22", ar = c(1.05, -0.35), ma = c(-0.25, 0.15), rel = integer(0)),
    list(id = "wn", s = "wn", ar = numeric(0), ma = numeric(0), rel = integer(0)),
    list(id = "sar", s = "sar", ar = c(0.45, rep(0, 10), 0.35, 0), ma = numeric(0),
         rel = c(13L, 1L, 12L)))

s_rows <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s_rows, out("evaluation_series.csv"), row.names = FALSE, quote = FALSE)

model_rows <- list()
resid_rows <- list()
for (m in models) {
    x <- series[[m$s]]
    n <- length(x)
    if (m$id == "sar") {
        fit <- arima(x, order = c(1, 0, 0), seasonal = list(order = c(1, 0, 0), period = 12),
                     include.mean = FALSE, method = "ML", fixed = c(m$ar[1], m$ar[12]),
                     transform.pars = FALSE, SSinit = "Rossignol2011")
    } else if (length(m$ar) + length(m$ma) == 0) {
        fit <- arima(x, order = c(0, 0, 0), include.mean = FALSE, method = "ML")
        # With nothing to estimate sigma2 is already S/n.
    } else {
        fit <- arima(x, order = c(length(m$ar), 0, length(m$ma)), include.mean = FALSE,
                     method = "ML", fixed = c(m$ar, m$ma), transform.pars = FALSE,
                     SSinit = "Rossignol2011")
    }
    m2 <- -2 * fit$loglik
    model_rows[[m$id]] <- data.frame(id = m$id, series = m$s, p = length(m$ar), q = length(m$ma),
                                     coef = join(c(m$ar, m$ma)),
                                     relation = paste(m$rel, collapse = " "),
                                     redlik = fmt(m2 / n - log(2 * pi) - 1),
                                     sigma2 = fmt(fit$sigma2), m2loglik = fmt(m2))
    resid_rows[[m$id]] <- data.frame(id = m$id, t = 1:n, value = fmt(as.numeric(residuals(fit))))
}
write.csv(do.call(rbind, model_rows), out("evaluation_models.csv"), row.names = FALSE, quote = FALSE)
write.csv(do.call(rbind, resid_rows), out("evaluation_residuals.csv"), row.names = FALSE,
          quote = FALSE)

# The tests report for the ARMA(1,1) residuals (n = 100, k = 2 free coefficients, h = 22).
sig5 <- function(x) {
    if (x == 0) return("0.0000")
    d <- 4 - floor(log10(abs(x)))
    r <- round(x, d)
    if (d <= 1) sprintf("%.0f.", r) else sprintf("%.*f", d, r)
}
res <- as.numeric(residuals(arima(series$arma11, order = c(1, 0, 1), include.mean = FALSE,
                                  method = "ML", fixed = c(0.55, 0.25), transform.pars = FALSE,
                                  SSinit = "Rossignol2011")))
n <- length(res); k <- 2; h <- 22
lb <- Box.test(res, lag = h, type = "Ljung-Box", fitdf = k)
ml <- Box.test(res^2, lag = h, type = "Ljung-Box")
cnt <- count_tests(res)
an <- function(count, mean, var) paste0(sig5(count), " ~ AN( ", sig5(mean), ", sd = ", sig5(sqrt(var)), " )")
report <- c(strrep("=", 44), "KELO::Vesk(Tests of randomness on residuals)", strrep("=", 44), "  ",
            paste0("Ljung - Box statistic = ", sig5(lb$statistic), " Chi-Square ( ", lb$parameter, " )"),
            "  ",
            paste0("McLeod - Li statistic = ", sig5(ml$statistic), " Chi-Square ( ", ml$parameter, " )"),
            "  ",
            paste0("# of Turning points = ", an(cnt[1], 2 * (n - 2) / 3, (16 * n - 29) / 90)),
            "  ",
            paste0("# of Difference sign points = ", an(cnt[2], (n - 1) / 2, (n + 1) / 12)),
            "  ",
            paste0("# of Rank points = ", an(cnt[3], n * (n - 1) / 4, n * (n - 1) * (2 * n + 5) / 72)),
            "  ",
            paste0("Order of Min AICC YW Model for Residuals = ", aicc_order(res, h)),
            "  ")
writeLines(report, out("randomness_report_reference.txt"))

# Switch to invertible: MA(1) theta = 2, two MA(2) models, one with a root inside the unit
# circle, one with both (complex) roots inside, and the multiplicative (1 + 2B)(1 + 0.4B^4).
# Near the unit circle: MA(1) with theta just above 1, an MA(2) with a complex pair of modulus
# 0.999, and airline models (1 + theta1 B)(1 + theta12 B^12) with one factor just past the circle.
# Multiple and clustered zeros: (1 - 2B)^4, (1 - B/0.9)^3, three zeros 1e-6 apart, a fourfold zero
# beside a simple one outside, a double complex pair, double zeros either side of the circle, and a
# cluster beside a pair outside.
invertible <- function(theta) {
    r <- polyroot(c(1, theta))
    inside <- Mod(r) < 1
    factor <- prod(1 / Mod(r[inside])^2)
    r[inside] <- 1 / Conj(r[inside])
    poly <- 1
    for (root in r) poly <- c(poly, 0) - c(0, poly) / root
    list(theta = Re(poly[-1]), factor = factor)
}
airline <- function(theta1, theta12) c(theta1, rep(0, 10), theta12, theta1 * theta12)
# theta(z) = prod (1 - z/r) multiplied out from its zeros r (real coefficients).
from_zeros <- function(r) {
    poly <- 1
    for (root in r) poly <- c(poly, 0) - c(0, poly) / root
    Re(poly[-1])
}
near_pair <- c(-2 * cos(1) / 0.999, 1 / 0.999^2)  # zeros 0.999 exp(+-i)
switch_models <- list(list(id = "ma1", theta = 2), list(id = "ma2_one", theta = c(-1.65, 0.5)),
                      list(id = "ma2_both", theta = c(0.5, 1.5)),
                      list(id = "sma", theta = c(2, 0, 0, 0.4, 0.8)),
                      list(id = "ma1_1.001", theta = 1.001), list(id = "ma1_1.0001", theta = 1.0001),
                      list(id = "ma1_1.00001", theta = 1.00001),
                      list(id = "ma2_near_pair", theta = near_pair),
                      list(id = "airline_theta1", theta = airline(-1.002, -0.61)),
                      list(id = "airline_theta12", theta = airline(-0.4, -1.001)),
                      list(id = "ma4_fourfold", theta = from_zeros(rep(0.5, 4))),
                      list(id = "ma3_threefold", theta = from_zeros(rep(0.9, 3))),
                      list(id = "ma3_cluster", theta = from_zeros(0.5 + c(0, 1e-6, 2e-6))),
                      list(id = "ma5_fourfold_and_outside", theta = from_zeros(c(rep(0.5, 4), -2))),
                      list(id = "ma4_double_pair", theta = from_zeros(rep(0.8 * exp(c(1i, -1i)), 2))),
                      list(id = "ma4_double_each_side", theta = from_zeros(c(0.6, 0.6, 1.5, 1.5))),
                      list(id = "ma5_cluster_and_pair", theta = from_zeros(c(-0.7 + c(0, 1e-6, 2e-6), 1.2 * exp(c(2i, -2i))))))
switch_rows <- list()
for (m in switch_models) {
    inv <- invertible(m$theta)
    switch_rows[[m$id]] <- data.frame(id = m$id, theta = join(m$theta), invertible = join(inv$theta),
                                      factor = fmt(inv$factor))
}
write.csv(do.call(rbind, switch_rows), out("switch_reference.csv"), row.names = FALSE, quote = FALSE)

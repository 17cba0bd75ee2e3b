# Reference tables for the univariate numerics unit tests (acf, arma_acvf, yule_walker,
# long_memory). Run from the repository root:
#   Rscript scripts/reference/univariate_numerics.R
# Writes small CSV files under tests/data/ so that the tests need no R at run time.
# Conventions: ACF with divisor n about the mean; ARMA phi(B)X = theta(B)Z with
# theta(z) = 1 + theta1 z + ..., which is R's sign convention for ma as well.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) if (length(v) == 0) "" else paste(fmt(v), collapse = " ")

set.seed(20240501)
sim_ar2 <- as.numeric(arima.sim(list(ar = c(0.6, -0.3)), n = 200))
sim_arma11 <- as.numeric(arima.sim(list(ar = 0.7, ma = 0.4), n = 300))
series <- list(lh = as.numeric(datasets::lh),
               LakeHuron = as.numeric(datasets::LakeHuron),
               sim_ar2 = sim_ar2,
               sim_arma11 = sim_arma11)

# The series themselves, long format.
s <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s, out("reference_series.csv"), row.names = FALSE, quote = FALSE)

# Sample ACF (divisor n, demeaned) and PACF.
acf_rows <- list()
for (nm in c("lh", "LakeHuron", "sim_ar2")) {
    x <- series[[nm]]
    L <- 20
    g <- acf(x, lag.max = L, type = "covariance", demean = TRUE, plot = FALSE)$acf[, 1, 1]
    r <- acf(x, lag.max = L, type = "correlation", demean = TRUE, plot = FALSE)$acf[, 1, 1]
    pc <- c(1, pacf(x, lag.max = L, plot = FALSE)$acf[, 1, 1])
    acf_rows[[nm]] <- data.frame(series = nm, lag = 0:L, gamma0 = fmt(g[1]),
                                 acf = fmt(r), pacf = fmt(pc))
}
write.csv(do.call(rbind, acf_rows), out("acf_reference.csv"), row.names = FALSE, quote = FALSE)

# ARMA models: autocovariances (ARMAacf times gamma(0), gamma(0) = sigma2 * sum psi^2 over a
# long truncation) and psi weights (ARMAtoMA).
models <- list(
    list(id = "ar1", ar = 0.5, ma = numeric(0), s2 = 1),
    list(id = "ar3", ar = c(0.4, -0.3, 0.2), ma = numeric(0), s2 = 2),
    list(id = "ar2_near_unit", ar = c(1.8, -0.85), ma = numeric(0), s2 = 1),
    list(id = "ma1", ar = numeric(0), ma = 0.4, s2 = 1),
    list(id = "ma3", ar = numeric(0), ma = c(0.5, -0.4, 0.3), s2 = 0.5),
    list(id = "arma11", ar = 0.5, ma = 0.4, s2 = 1),
    list(id = "arma21", ar = c(0.6, -0.3), ma = 0.5, s2 = 1.5),
    list(id = "arma13", ar = 0.7, ma = c(0.4, 0.3, -0.2), s2 = 1),
    list(id = "arma22", ar = c(1.1, -0.4), ma = c(-0.3, 0.2), s2 = 1),
    list(id = "arma35", ar = c(0.3, 0.2, -0.25), ma = c(0.6, -0.2, 0.1, 0.3, -0.1), s2 = 3),
    list(id = "ar12", ar = c(0.2, rep(0, 10), 0.5), ma = numeric(0), s2 = 1),
    list(id = "arma26", ar = c(0.3, rep(0, 24), 0.4), ma = c(rep(0, 25), 0.5), s2 = 1))
LMAX <- 40
model_rows <- list()
acvf_rows <- list()
for (m in models) {
    psi_long <- c(1, ARMAtoMA(ar = m$ar, ma = m$ma, lag.max = 20000))
    g0 <- m$s2 * sum(psi_long^2)
    rho <- ARMAacf(ar = m$ar, ma = m$ma, lag.max = LMAX)
    model_rows[[m$id]] <- data.frame(id = m$id, p = length(m$ar), q = length(m$ma),
                                     sigma2 = fmt(m$s2), coef = join(c(m$ar, m$ma)))
    acvf_rows[[m$id]] <- data.frame(id = m$id, lag = 0:LMAX, gamma = fmt(g0 * rho),
                                    psi = fmt(psi_long[1:(LMAX + 1)]))
}
write.csv(do.call(rbind, model_rows), out("arma_models.csv"), row.names = FALSE, quote = FALSE)
write.csv(do.call(rbind, acvf_rows), out("arma_acvf_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Causality and invertibility against the moduli of the polynomial roots.
poly_cases <- list(
    list(id = "ar1_half", ar = 0.5, ma = 0.9),
    list(id = "unit_root", ar = 1, ma = -1),
    list(id = "stepdown_fails", ar = c(0.5, 0.6), ma = c(0.5, 0.6)),
    list(id = "ar2_complex", ar = c(0.9, -0.8), ma = c(-0.9, 0.8)),
    list(id = "ar2_explosive", ar = c(0.2, 1.1), ma = c(1.5)),
    list(id = "ar2_double_root", ar = c(1.8, -0.81), ma = c(1.8, 0.81)),
    list(id = "ar3_causal", ar = c(0.4, -0.3, 0.2), ma = c(0.5, -0.4, 0.3)),
    list(id = "ar3_outside", ar = c(1.2, 0.3, -0.4), ma = c(-1.2, 0.3, 0.4)),
    list(id = "ar4_close", ar = c(0, 0, 0, 0.99), ma = c(0, 0, 0, -1.01)),
    list(id = "ar26", ar = c(rep(0, 25), 0.9), ma = c(0.3, rep(0, 24), 0.6)),
    list(id = "ar26_out", ar = c(0.5, rep(0, 24), 0.6), ma = c(0.5, rep(0, 24), 0.6)))
minmod <- function(v, sgn) min(Mod(polyroot(c(1, sgn * v))))
root_rows <- lapply(poly_cases, function(cs) {
    ar_mod <- minmod(cs$ar, -1)
    ma_mod <- minmod(cs$ma, 1)
    data.frame(id = cs$id, ar = join(cs$ar), ma = join(cs$ma),
               ar_min_modulus = fmt(ar_mod), ma_min_modulus = fmt(ma_mod),
               causal = as.integer(ar_mod > 1 + 1e-9), invertible = as.integer(ma_mod > 1 + 1e-9))
})
write.csv(do.call(rbind, root_rows), out("arma_roots.csv"), row.names = FALSE, quote = FALSE)

# Yule-Walker fits.
yw_rows <- list()
for (nm in c("lh", "LakeHuron", "sim_ar2")) for (p in c(1, 2, 3, 5)) {
    fit <- ar.yw(series[[nm]], aic = FALSE, order.max = p, demean = TRUE)
    yw_rows[[paste(nm, p)]] <- data.frame(series = nm, p = p, index = 1:p, phi = fmt(fit$ar))
}
write.csv(do.call(rbind, yw_rows), out("yule_walker_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Hannan-Rissanen: long autoregression by Yule-Walker, then the stated least-squares design
# solved by QR. The series are demeaned first, as callers do.
hr_rows <- list()
hr_cases <- list(list(nm = "sim_arma11", p = 1, q = 1, m = 10),
                 list(nm = "LakeHuron", p = 2, q = 1, m = 8),
                 list(nm = "sim_ar2", p = 2, q = 0, m = 6),
                 list(nm = "sim_arma11", p = 0, q = 2, m = 12),
                 list(nm = "lh", p = 1, q = 2, m = 5))
for (cs in hr_cases) {
    x <- series[[cs$nm]] - mean(series[[cs$nm]])
    n <- length(x); m <- cs$m; p <- cs$p; q <- cs$q
    g <- acf(x, lag.max = m, type = "covariance", demean = TRUE, plot = FALSE)$acf[, 1, 1]
    a <- solve(toeplitz(g[1:m]), g[2:(m + 1)])
    resid <- numeric(n)
    for (t in (m + 1):n) resid[t] <- x[t] - sum(a * x[(t - 1):(t - m)])
    t0 <- m + max(p, q) + 1
    tt <- t0:n
    Z <- cbind(if (p > 0) sapply(1:p, function(i) x[tt - i]) else NULL,
               if (q > 0) sapply(1:q, function(j) resid[tt - j]) else NULL)
    Z <- matrix(Z, nrow = length(tt))
    coef <- qr.solve(Z, x[tt])
    Minv <- solve(crossprod(Z))
    hr_rows[[length(hr_rows) + 1]] <- data.frame(series = cs$nm, p = p, q = q, m = m,
                                                 index = seq_along(coef), coef = fmt(coef),
                                                 minv_diag = fmt(diag(Minv)),
                                                 resid_last = fmt(resid[n]))
}
write.csv(do.call(rbind, hr_rows), out("hannan_rissanen_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Fractionally integrated weights: binomial series of (1-z)^(-d) (MA-infinity, mode 1) or
# (1-z)^d (AR-infinity, mode 0), times the ARMA expansion, truncated to M terms.
M <- 50
fw_cases <- list(
    list(id = "d04_ma", d = 0.4, mode = 1, ar = numeric(0), ma = numeric(0)),
    list(id = "d04_ar", d = 0.4, mode = 0, ar = numeric(0), ma = numeric(0)),
    list(id = "dneg_ma", d = -0.3, mode = 1, ar = numeric(0), ma = numeric(0)),
    list(id = "d02_arma11_ma", d = 0.2, mode = 1, ar = 0.5, ma = 0.4),
    list(id = "d02_arma11_ar", d = 0.2, mode = 0, ar = 0.5, ma = 0.4),
    list(id = "d035_arma21_ma", d = 0.35, mode = 1, ar = c(0.6, -0.3), ma = -0.5),
    list(id = "d01_arma13_ar", d = 0.1, mode = 0, ar = 0.7, ma = c(0.4, 0.3, -0.2)))
fw_rows <- list()
for (cs in fw_cases) {
    if (cs$mode == 1) {
        w <- choose(-cs$d, 0:(M - 1)) * (-1)^(0:(M - 1))
        f <- c(1, ARMAtoMA(ar = cs$ar, ma = cs$ma, lag.max = M - 1))
    } else {
        w <- choose(cs$d, 0:(M - 1)) * (-1)^(0:(M - 1))
        f <- c(1, ARMAtoMA(ar = -cs$ma, ma = -cs$ar, lag.max = M - 1))
    }
    out_w <- sapply(1:M, function(k) sum(f[k:1] * w[1:k]))
    fw_rows[[cs$id]] <- data.frame(id = cs$id, d = fmt(cs$d), mode = cs$mode,
                                   ar = join(cs$ar), ma = join(cs$ma), lag = 0:(M - 1),
                                   weight = fmt(out_w))
}
write.csv(do.call(rbind, fw_rows), out("fractional_weights_reference.csv"), row.names = FALSE,
          quote = FALSE)

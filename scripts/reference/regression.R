# Reference tables for the regression trend fits and the model selection criteria
# (tests/unit/regression_test.cpp). Run from the repository root:
#   Rscript scripts/reference/regression.R
# Least squares: lm on the design the program builds (powers of t, then cos/sin pairs with
# a = ((f / n) pi) t 2 and pi = 3.14159265359). Generalised least squares: the dense solution
# solve(X' G^-1 X, X' G^-1 y) with G the autocovariance matrix of the error model, gamma(h) from
# ARMAacf scaled by gamma(0) = sigma2 (1 + sum psi_j^2), and standard errors from
# solve(X' G^-1 X). One table of designs for both fits, each fitted by lm.fit itself: raw powers
# of t and designs with columns that depend on the others. The criteria row evaluates the BIC and
# FPE formulas directly.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")
pi_design <- 3.14159265359

design <- function(n, degree, intercept, index) {
    t <- seq_len(n)
    powers <- if (intercept) 0:degree else if (degree >= 1) 1:degree else integer(0)
    cols <- lapply(powers, function(k) t^k)
    for (f in index) {
        a <- ((f / n) * pi_design) * t * 2
        cols <- c(cols, list(cos(a), sin(a)))
    }
    do.call(cbind, cols)
}

set.seed(20260112)
n_gls <- 90
t_gls <- seq_len(n_gls)
trend_gls <- 3 + 0.04 * t_gls + 1.2 * cos(2 * pi_design * 9 * t_gls / n_gls)
series <- list(
    LakeHuron = as.numeric(LakeHuron),
    co2 = as.numeric(co2),
    ar1 = trend_gls + as.numeric(arima.sim(list(ar = 0.7), n = n_gls, sd = sqrt(1.3))),
    arma11 = trend_gls + as.numeric(arima.sim(list(ar = 0.5, ma = 0.4), n = n_gls, sd = sqrt(0.8))))
s_rows <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s_rows, out("regression_series.csv"), row.names = FALSE, quote = FALSE)

cases <- list(
    list(id = "lh_ls", s = "LakeHuron", degree = 2, intercept = 1, index = integer(0)),
    list(id = "co2_ls", s = "co2", degree = 1, intercept = 1, index = length(co2) / 12),
    list(id = "ar1_gls", s = "ar1", degree = 1, intercept = 1, index = 9L, ar = 0.7, ma = numeric(0),
         sigma2 = 1.3),
    list(id = "arma11_gls", s = "arma11", degree = 1, intercept = 1, index = 9L, ar = 0.5, ma = 0.4,
         sigma2 = 0.8))
rows <- list()
for (cs in cases) {
    y <- series[[cs$s]]
    n <- length(y)
    X <- design(n, cs$degree, cs$intercept, cs$index)
    if (is.null(cs$ar)) {
        fit <- lm(y ~ X - 1)
        coef <- unname(coef(fit))
        se <- numeric(0)
        p <- 0; q <- 0; ar <- numeric(0); ma <- numeric(0); sigma2 <- 1
    } else {
        psi <- ARMAtoMA(cs$ar, cs$ma, 2000)
        gamma0 <- cs$sigma2 * (1 + sum(psi^2))
        G <- toeplitz(gamma0 * ARMAacf(cs$ar, cs$ma, lag.max = n - 1))
        Gi <- solve(G)
        A <- t(X) %*% Gi %*% X
        coef <- as.numeric(solve(A, t(X) %*% Gi %*% y))
        se <- sqrt(diag(solve(A)))
        p <- length(cs$ar); q <- length(cs$ma); ar <- cs$ar; ma <- cs$ma; sigma2 <- cs$sigma2
    }
    rows[[length(rows) + 1]] <- data.frame(
        id = cs$id, series = cs$s, degree = cs$degree, intercept = cs$intercept,
        index = paste(cs$index, collapse = " "), p = p, q = q, coef_model = join(c(ar, ma)),
        sigma2 = fmt(sigma2), coef = join(coef), se = join(se))
}
write.csv(do.call(rbind, rows), out("regression_reference.csv"), row.names = FALSE, quote = FALSE)

# The table of designs (regression_designs.csv). The series is y(t) = 3 + 0.5 t + 10 sin(0.3 t),
# t = 1..n, which the test computes from the same formula. Raw powers of t, with and without the
# constant, for n = 200, 500, 1000, 5000 and degrees 5 to 10: columns up to 1e37 beside the
# constant, all independent. Then designs with dependent columns: a harmonic at Fourier index n
# (its cosine is the constant to the last bit; its sine is a ramp of about 4e-13 t made by the
# rounded pi, which lm.fit keeps), at index 0 (cosine 1, sine 0: a zero column) and one harmonic
# given twice (equal columns). Per design: lm.fit's rank, the columns whose coefficient is NA,
# the coefficients (NA written as 0), the residual sum of squares, the fitted values at eleven
# times, the unscaled standard errors over the kept columns as summary.lm forms them from
# lm.fit's R (chol2inv), 0 for a column left out, and the 2-norm condition number of the kept
# columns scaled to norm 1.
trend_y <- function(n) { t <- seq_len(n); 3 + 0.5 * t + 10 * sin(0.3 * t) }
designs <- list()
for (n in c(200, 500, 1000, 5000)) for (degree in 5:10) for (intercept in 1:0)
    designs[[length(designs) + 1]] <- list(id = sprintf("powers_%d_%d_%d", n, degree, intercept), n = n,
                                           degree = degree, intercept = intercept, index = integer(0))
designs <- c(designs, list(
    list(id = "index_n_constant", n = 289, degree = 0, intercept = 1, index = 289L),
    list(id = "index_n_line", n = 98, degree = 1, intercept = 1, index = 98L),
    list(id = "index_n_powers", n = 1000, degree = 5, intercept = 1, index = 1000L),
    list(id = "index_0_line", n = 98, degree = 1, intercept = 1, index = 0L),
    list(id = "index_0_no_constant", n = 200, degree = 2, intercept = 0, index = 0L),
    list(id = "harmonic_twice", n = 500, degree = 3, intercept = 1, index = c(20L, 20L))))
rows <- list()
for (cs in designs) {
    y <- trend_y(cs$n)
    X <- design(cs$n, cs$degree, cs$intercept, cs$index)
    fit <- lm.fit(X, y)
    kept <- fit$qr$pivot[seq_len(fit$rank)]
    se <- numeric(ncol(X))
    se[kept] <- sqrt(diag(chol2inv(fit$qr$qr[seq_len(fit$rank), seq_len(fit$rank), drop = FALSE])))
    coef <- fit$coefficients
    coef[is.na(coef)] <- 0
    scaled <- sweep(X[, kept, drop = FALSE], 2, sqrt(colSums(X[, kept, drop = FALSE]^2)), "/")
    times <- unique(round(seq(1, cs$n, length.out = 11)))
    rows[[length(rows) + 1]] <- data.frame(id = cs$id, n = cs$n, degree = cs$degree, intercept = cs$intercept,
        index = paste(cs$index, collapse = " "), rank = fit$rank,
        left_out = paste(which(is.na(fit$coefficients)), collapse = " "), coef = join(coef),
        se = join(se), kappa = fmt(kappa(scaled, exact = TRUE)), rss = fmt(sum(fit$residuals^2)),
        times = paste(times, collapse = " "), fitted = join(fit$fitted.values[times]))
}
write.csv(do.call(rbind, rows), out("regression_designs.csv"), row.names = FALSE, quote = FALSE)

# Criteria of an AR(2) fit on LakeHuron about its mean: sigma2 from arima, K = 2.
x <- as.numeric(LakeHuron) - mean(LakeHuron)
fit <- arima(x, order = c(2, 0, 0), include.mean = FALSE, method = "ML")
N <- length(x); K <- 2; s2 <- fit$sigma2; S <- mean(x^2)
bic <- (N - K) * log(N * s2 / (N - K)) + N * (1 + log(6.28318)) + K * log((N * S - N * s2) / K)
fpe <- s2 * (N + K) / (N - K)
write.csv(data.frame(series = "LakeHuron_centred", p = 2, q = 0, k = K, sigma2 = fmt(s2), bic = fmt(bic),
                     fpe = fmt(fpe)),
          out("regression_criteria.csv"), row.names = FALSE, quote = FALSE)

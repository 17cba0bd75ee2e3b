# Reference tables for the regression trend fits and the model selection criteria
# (tests/unit/regression_test.cpp). Run from the repository root:
#   Rscript scripts/reference/regression.R
# The design is the exact one of the trend the program fits: powers of t, then for each Fourier
# index f the columns cos(2 pi f t / n) and sin(2 pi f t / n), computed as cospi and sinpi of
# 2 ((f t) mod n) / n, so that harmonics that are mathematically equal (index f and n - f, or
# one index twice) or zero (the sine at n/2 or n) are so to the last bit, and lm.fit leaves them
# out. (The program builds its columns with pi = 3.14159265359, about 1e-11 from these.)
# Least squares: lm on that design. Generalised least squares: the dense solution
# solve(X' G^-1 X, X' G^-1 y) with G the autocovariance matrix of the error model, gamma(h) from
# ARMAacf scaled by gamma(0) = sigma2 (1 + sum psi_j^2), and standard errors from
# solve(X' G^-1 X); and, for the table of the command's designs, lm.fit on the design and the
# data whitened by the Cholesky factor of G, with standard errors from chol2inv of its R. One
# table of designs for both fits, each fitted by lm.fit itself: raw powers of t and designs with
# columns that depend on the others. The criteria row evaluates the BIC and FPE formulas directly.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

design <- function(n, degree, intercept, index) {
    t <- seq_len(n)
    powers <- if (intercept) 0:degree else if (degree >= 1) 1:degree else integer(0)
    cols <- lapply(powers, function(k) t^k)
    for (f in index) {
        m <- (f * t) %% n
        cols <- c(cols, list(cospi(2 * m / n), sinpi(2 * m / n)))
    }
    do.call(cbind, cols)
}

set.seed(20260112)
n_gls <- 90
t_gls <- seq_len(n_gls)
trend_gls <- 3 + 0.04 * t_gls + 1.2 * cos(2 * 3.14159265359 * 9 * t_gls / n_gls)
series <- list(
    LakeHuron = as.numeric(LakeHuron),
    co2 = as.numeric(co2),
    ar1 = trend_gls + as.numeric(arima.sim(list(ar = 0.7), n = n_gls, sd = sqrt(1.3))),
    arma11 = trend_gls + as.numeric(arima.sim(list(ar = 0.5, ma = 0.4), n = n_gls, sd = sqrt(0.8))),
    wiggle40 = 10 + sin(0.7 * (1:40)) + 0.3 * cos(1.9 * (1:40)))
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
# (its cosine is the constant, its sine zero), at index 0 (the same) and one harmonic given twice
# (equal columns). Per design: lm.fit's rank, the columns whose coefficient is NA,
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

# The table of the command's designs (regression_commands.csv), each fitted by least squares and
# by generalised least squares under its AR(1) model: harmonics at Fourier indices f and n - f,
# at n/2 and at n, beside a constant and without one, an index given twice with and without a
# constant, a constant alone (one column kept), and degree 10. Per design, for least squares
# lm.fit's columns whose coefficient is NA, its coefficients (NA written as 0), the residual sum
# of squares and the fitted values at eleven times; for generalised least squares the same of
# lm.fit on the whitened design, the covariance sigma2 chol2inv(R) over the kept columns (0 in the
# rows and columns of those left out) with its standard errors, and the trend, the unwhitened design times the
# coefficients, at those times.
whitened_fit <- function(X, y, ar, sigma2) {
    n <- length(y)
    gamma <- (1 + sum(ARMAtoMA(ar, numeric(0), 5000)^2)) * as.numeric(ARMAacf(ar, lag.max = n - 1))
    U <- chol(toeplitz(gamma))
    fit <- lm.fit(backsolve(U, X, transpose = TRUE), backsolve(U, y, transpose = TRUE))
    kept <- fit$qr$pivot[seq_len(fit$rank)]
    covariance <- matrix(0, ncol(X), ncol(X))
    covariance[kept, kept] <- sigma2 * chol2inv(fit$qr$qr[seq_len(fit$rank), seq_len(fit$rank), drop = FALSE])
    list(fit = fit, se = sqrt(diag(covariance)), covariance = covariance)
}
na_zero <- function(v) { v[is.na(v)] <- 0; v }
commands <- list(
    list(id = "f_and_n_minus_f", s = "LakeHuron", degree = 0, intercept = 1, index = c(10L, 88L), ar = 0.8, sigma2 = 0.5),
    list(id = "f_and_n_minus_f_quadratic", s = "LakeHuron", degree = 2, intercept = 1, index = c(5L, 93L), ar = 0.8,
         sigma2 = 0.5),
    list(id = "f_and_n_minus_f_co2", s = "co2", degree = 1, intercept = 1, index = c(39L, 429L), ar = 0.9, sigma2 = 0.3),
    list(id = "half_n", s = "LakeHuron", degree = 0, intercept = 1, index = 49L, ar = 0.8, sigma2 = 0.5),
    list(id = "half_n_co2", s = "co2", degree = 1, intercept = 1, index = 234L, ar = 0.9, sigma2 = 0.3),
    list(id = "index_n", s = "LakeHuron", degree = 0, intercept = 1, index = 98L, ar = 0.8, sigma2 = 0.5),
    list(id = "index_n_no_constant", s = "LakeHuron", degree = 1, intercept = 0, index = 98L, ar = 0.8, sigma2 = 0.5),
    list(id = "repeated_index", s = "LakeHuron", degree = 1, intercept = 1, index = c(12L, 49L, 12L), ar = 0.8,
         sigma2 = 0.5),
    list(id = "repeated_index_no_constant", s = "LakeHuron", degree = 0, intercept = 0, index = c(12L, 98L, 98L, 86L),
         ar = 0.8, sigma2 = 0.5),
    list(id = "constant_alone", s = "wiggle40", degree = 0, intercept = 1, index = integer(0), ar = 0.5, sigma2 = 2),
    list(id = "degree_10", s = "LakeHuron", degree = 10, intercept = 1, index = integer(0), ar = 0.5, sigma2 = 0.5))
rows <- list()
for (cs in commands) {
    y <- series[[cs$s]]
    n <- length(y)
    X <- design(n, cs$degree, cs$intercept, cs$index)
    times <- unique(round(seq(1, n, length.out = 11)))
    ls <- lm.fit(X, y)
    gls <- whitened_fit(X, y, cs$ar, cs$sigma2)
    gls_coef <- na_zero(gls$fit$coefficients)
    rows[[length(rows) + 1]] <- data.frame(id = cs$id, series = cs$s, degree = cs$degree, intercept = cs$intercept,
        index = paste(cs$index, collapse = " "), phi = fmt(cs$ar), sigma2 = fmt(cs$sigma2),
        times = paste(times, collapse = " "),
        ls_left_out = paste(which(is.na(ls$coefficients)), collapse = " "), ls_coef = join(na_zero(ls$coefficients)),
        ls_rss = fmt(sum(ls$residuals^2)), ls_fitted = join(ls$fitted.values[times]),
        gls_left_out = paste(which(is.na(gls$fit$coefficients)), collapse = " "), gls_coef = join(gls_coef),
        gls_se = join(gls$se), gls_covariance = join(as.vector(gls$covariance)),
        gls_trend = join((X %*% gls_coef)[times]))
}
write.csv(do.call(rbind, rows), out("regression_commands.csv"), row.names = FALSE, quote = FALSE)

# Criteria of an AR(2) fit on LakeHuron about its mean: sigma2 from arima, K = 2.
x <- as.numeric(LakeHuron) - mean(LakeHuron)
fit <- arima(x, order = c(2, 0, 0), include.mean = FALSE, method = "ML")
N <- length(x); K <- 2; s2 <- fit$sigma2; S <- mean(x^2)
bic <- (N - K) * log(N * s2 / (N - K)) + N * (1 + log(6.28318)) + K * log((N * S - N * s2) / K)
fpe <- s2 * (N + K) / (N - K)
write.csv(data.frame(series = "LakeHuron_centred", p = 2, q = 0, k = K, sigma2 = fmt(s2), bic = fmt(bic),
                     fpe = fmt(fpe)),
          out("regression_criteria.csv"), row.names = FALSE, quote = FALSE)

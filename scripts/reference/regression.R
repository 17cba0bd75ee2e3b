# Reference tables for the regression trend fits and the model selection criteria
# (tests/unit/regression_test.cpp). Run from the repository root:
#   Rscript scripts/reference/regression.R
# Least squares: lm on the design the program builds (powers of t, then cos/sin pairs with
# a = ((f / n) pi) t 2 and pi = 3.14159265359). Generalised least squares: the dense solution
# solve(X' G^-1 X, X' G^-1 y) with G the autocovariance matrix of the error model, gamma(h) from
# ARMAacf scaled by gamma(0) = sigma2 (1 + sum psi_j^2), and standard errors from
# solve(X' G^-1 X). Designs with columns dependent to within rounding: the fitted values of the
# least-squares fit on the columns a pivoted QR (R's qr with LAPACK = TRUE) keeps under the rank
# tolerance max(n, k) eps |R(1,1)|. The criteria row evaluates the BIC and FPE formulas directly.

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
    arma11 = trend_gls + as.numeric(arima.sim(list(ar = 0.5, ma = 0.4), n = n_gls, sd = sqrt(0.8))),
    sunspot = as.numeric(sunspot.year))
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

# At Fourier index n the cosine column is 1 to the last bit and the sine column a ramp of about
# 4e-13 t, independent of the constant but, beside t, only through the rounding of its argument.
# At index 0 they are 1 and 0. lm agrees on the first case; on the others it keeps the sine.
dependent <- list(
    list(id = "sunspot_n", s = "sunspot", degree = 0, index = length(sunspot.year)),
    list(id = "lh_line_n", s = "LakeHuron", degree = 1, index = length(LakeHuron)),
    list(id = "lh_line_0", s = "LakeHuron", degree = 1, index = 0L))
rows <- list()
for (cs in dependent) {
    y <- series[[cs$s]]
    X <- design(length(y), cs$degree, 1, cs$index)
    q <- qr(X, LAPACK = TRUE)
    r <- abs(diag(qr.R(q)))
    rank <- sum(r > max(dim(X)) * .Machine$double.eps * r[1])
    Q1 <- qr.Q(q)[, seq_len(rank), drop = FALSE]
    rows[[length(rows) + 1]] <- data.frame(id = cs$id, series = cs$s, degree = cs$degree, index = cs$index,
        rank = rank, fitted = join(Q1 %*% crossprod(Q1, y)))
}
write.csv(do.call(rbind, rows), out("regression_dependent.csv"), row.names = FALSE, quote = FALSE)

# Criteria of an AR(2) fit on LakeHuron about its mean: sigma2 from arima, K = 2.
x <- as.numeric(LakeHuron) - mean(LakeHuron)
fit <- arima(x, order = c(2, 0, 0), include.mean = FALSE, method = "ML")
N <- length(x); K <- 2; s2 <- fit$sigma2; S <- mean(x^2)
bic <- (N - K) * log(N * s2 / (N - K)) + N * (1 + log(6.28318)) + K * log((N * S - N * s2) / K)
fpe <- s2 * (N + K) / (N - K)
write.csv(data.frame(series = "LakeHuron_centred", p = 2, q = 0, k = K, sigma2 = fmt(s2), bic = fmt(bic),
                     fpe = fmt(fpe)),
          out("regression_criteria.csv"), row.names = FALSE, quote = FALSE)

# Reference tables for the vector autoregressive fits (tests/unit/whittle_fit_test.cpp and
# tests/unit/burg_fit_test.cpp). Run from the repository root:
#   Rscript scripts/reference/multivariate_ar.R
# mvar_series.csv: the series (R's mdeaths and fdeaths, lh, simulated VARs), one row per time
#   with the m values of that time as a list.
# whittle_reference.csv, for each series and order p = 0 .. the search bound, on the centred
#   series:
#   - phi, V (p <= 3): ar.yw(x, aic = FALSE, order.max = p, demean = TRUE)$ar and
#     var.pred * (n - m(p+1))/n (Gamma(0) for p = 0), checked against Gamma(0) - sum phi Gamma';
#   - aicc: -2 ln L from the prediction-error decomposition of the ar.yw fits of orders 0..p
#     (ln 2 pi taken as 1.837877) plus (2 p m^2 + 2) / (1 - (p m^2 + 2)/(n m)), or 1E20;
#   - neg2loglik (p <= 3): the dense Gaussian -2 ln L of the fitted VAR from its block-Toeplitz
#     covariance, with the exact ln 2 pi;
#   and one row with p = -1: the order of minimum aicc (ties to the lower order) and its model.
# burg_reference.csv: the same columns for the multivariate Burg recursion computed here
#   directly with chol and solve, the coefficients of each order built by the forward and
#   backward Levinson recursion on the partial matrices.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) if (length(v) == 0) "" else paste(fmt(v), collapse = " ")

source(file.path("scripts", "reference", "var_common.R"))

# x(t) = sum phi[[j]] x(t-j) + z(t), z ~ N(0, sigma), after a burn-in of 200.
simulate_var <- function(phi, sigma, n) {
    m <- nrow(sigma)
    p <- length(phi)
    L <- t(chol(sigma))
    total <- n + 200
    x <- matrix(0, total, m)
    for (t in seq_len(total)) {
        v <- L %*% rnorm(m)
        for (j in seq_len(p)) if (t > j) v <- v + phi[[j]] %*% x[t - j, ]
        x[t, ] <- v
    }
    x[-(1:200), , drop = FALSE]
}

set.seed(20240807)
series <- list(
    mf = cbind(as.numeric(datasets::mdeaths), as.numeric(datasets::fdeaths)),
    lh = matrix(as.numeric(datasets::lh), ncol = 1),
    var2 = simulate_var(list(matrix(c(0.5, 0.4, 0.1, 0.5), 2), matrix(c(0, 0.25, 0, -0.2), 2)),
                        matrix(c(1, 0.3, 0.3, 2), 2), 120),
    var3 = simulate_var(list(matrix(c(0.5, 0, 0.1, 0.2, 0.3, 0, 0, 0.2, 0.4), 3)),
                        matrix(c(1, 0.2, 0, 0.2, 1, 0.3, 0, 0.3, 1), 3), 100),
    short2 = simulate_var(list(matrix(c(0.6, -0.2, 0.3, 0.4), 2)), diag(2), 40),
    short3 = simulate_var(list(matrix(c(0.4, 0.1, 0, 0, 0.5, 0.2, 0.1, 0, 0.3), 3),
                               matrix(c(-0.3, 0, 0, 0, 0.2, 0, 0, 0, 0.1), 3)),
                          diag(c(1, 0.5, 2)), 50))

series_rows <- do.call(rbind, lapply(names(series), function(nm) {
    x <- series[[nm]]
    data.frame(series = nm, t = seq_len(nrow(x)), values = apply(x, 1, join))
}))
write.csv(series_rows, out("mvar_series.csv"), row.names = FALSE, quote = FALSE)

# Dense -2 ln L of a zero-mean VAR(p): model autocovariances from the companion form, then the
# nm x nm block-Toeplitz covariance of the series.
dense_neg2loglik <- function(x, phi, V) {
    n <- nrow(x)
    m <- ncol(x)
    p <- dim(phi)[1]
    gam <- vector("list", n)
    if (p == 0) {
        gam[[1]] <- V
        for (h in seq_len(n - 1)) gam[[h + 1]] <- matrix(0, m, m)
    } else {
        mp <- m * p
        Fm <- matrix(0, mp, mp)
        for (j in 1:p) Fm[1:m, ((j - 1) * m + 1):(j * m)] <- phi[j, , ]
        if (p > 1) Fm[(m + 1):mp, 1:(mp - m)] <- diag(mp - m)
        Q <- matrix(0, mp, mp)
        Q[1:m, 1:m] <- V
        S <- matrix(solve(diag(mp * mp) - kronecker(Fm, Fm), as.vector(Q)), mp, mp)
        for (h in 0:min(p - 1, n - 1)) gam[[h + 1]] <- S[1:m, (h * m + 1):((h + 1) * m)]
        if (n > p)
            for (h in p:(n - 1)) {
                g <- matrix(0, m, m)
                for (j in 1:p) g <- g + phi[j, , ] %*% gam[[h - j + 1]]
                gam[[h + 1]] <- g
            }
    }
    Sigma <- matrix(0, n * m, n * m)
    for (s in 1:n) for (t in 1:s) {
        block <- gam[[s - t + 1]]
        Sigma[((s - 1) * m + 1):(s * m), ((t - 1) * m + 1):(t * m)] <- block
        Sigma[((t - 1) * m + 1):(t * m), ((s - 1) * m + 1):(s * m)] <- t(block)
    }
    v <- as.vector(t(x))
    R <- chol(Sigma)
    z <- backsolve(R, v, transpose = TRUE)
    n * m * log(2 * pi) + 2 * sum(log(diag(R))) + sum(z^2)
}

row <- function(name, p, chosen, phi, V, aicc, dense = NA)
    data.frame(series = name, p = p, chosen = chosen, phi = join(as.vector(phi)), V = join(as.vector(V)),
               aicc = fmt(aicc), neg2loglik = if (is.na(dense)) "" else fmt(dense))

whittle_rows <- list()
burg_rows <- list()
for (name in names(series)) {
    raw <- series[[name]]
    x <- centre(raw)
    n <- nrow(x)
    m <- ncol(x)
    bound <- search_bound(n, m)

    models <- lapply(0:bound, function(p) yw_model(raw, p))
    aicc <- sapply(0:bound, function(p) decomposed_aicc(x, models, p))
    for (p in 0:bound) {
        model <- models[[p + 1]]
        dense <- NA
        if (p <= 3) {
            dense <- dense_neg2loglik(x, model$phi, model$V)
            stopifnot(abs(dense + n * m * (ln2pi7 - log(2 * pi)) + penalty(p, n, m) - aicc[p + 1]) <
                      1e-7 * abs(dense))
        }
        whittle_rows[[length(whittle_rows) + 1]] <- row(name, p, p, if (p <= 3) model$phi else numeric(0),
                                                        if (p <= 3) model$V else numeric(0), aicc[p + 1], dense)
    }
    best <- which.min(aicc) - 1
    whittle_rows[[length(whittle_rows) + 1]] <- row(name, -1, best, models[[best + 1]]$phi,
                                                    models[[best + 1]]$V, aicc[best + 1])

    fit <- burg(x, bound)
    for (p in 0:bound) {
        phi <- if (p <= 3) as_lag_first(fit$fwd[[p + 1]], m) else numeric(0)
        V <- if (p <= 3) fit$Vf[[p + 1]] else numeric(0)
        burg_rows[[length(burg_rows) + 1]] <- row(name, p, p, phi, V, fit$aicc[p + 1])
    }
    best <- which.min(fit$aicc) - 1
    burg_rows[[length(burg_rows) + 1]] <- row(name, -1, best, as_lag_first(fit$fwd[[best + 1]], m),
                                              fit$Vf[[best + 1]], fit$aicc[best + 1])
}
write.csv(do.call(rbind, whittle_rows), out("whittle_reference.csv"), row.names = FALSE, quote = FALSE)
write.csv(do.call(rbind, burg_rows), out("burg_reference.csv"), row.names = FALSE, quote = FALSE)

# Reference table for the stability test of the frequency-domain likelihood. Run from the
# repository root:
#   Rscript scripts/reference/spectral_likelihood.R
# Writes tests/data/stability_reference.csv: AR polynomials 1 - phi1 z - ... and MA polynomials
# 1 + theta1 z + ... of orders 1..26 made from chosen roots, with R's polyroot verdict (all roots
# outside the unit circle). Roots keep a margin from the circle so that rounding cannot decide.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

set.seed(20240612)
# Coefficients c(0..k) of prod (1 - z / r) over the roots r (conjugate pairs give real values).
poly_from_roots <- function(roots) {
    cf <- 1 + 0i
    for (r in roots) cf <- c(cf, 0) - c(0, cf) / r
    Re(cf)
}
make_roots <- function(k, stable) {
    npair <- k %/% 2
    mods <- runif(k, 1.1, 2.5)
    if (!stable) mods[1] <- runif(1, 0.5, 0.9)
    args <- runif(npair, 0.1, pi - 0.1)
    roots <- complex(0)
    if (npair > 0) {
        for (i in seq_len(npair)) {
            z <- complex(modulus = mods[i], argument = args[i])
            roots <- c(roots, z, Conj(z))
        }
    }
    if (k %% 2 == 1) roots <- c(roots, mods[k] * sample(c(-1, 1), 1))
    # The unstable modulus sits on the first root (a pair when k >= 2, else the real root).
    if (!stable && k == 1) roots[1] <- mods[1] * sign(Re(roots[1]))
    roots
}

rows <- list()
for (k in c(1, 2, 3, 5, 8, 12, 16, 20, 24, 26)) {
    for (stable in c(TRUE, FALSE)) {
        for (kind in c("ar", "ma")) {
            cf <- poly_from_roots(make_roots(k, stable))
            coef <- if (kind == "ar") -cf[-1] else cf[-1]
            mm <- min(Mod(polyroot(cf)))
            rows[[length(rows) + 1]] <- data.frame(kind = kind, order = k, coef = join(coef),
                                                  stable = as.integer(mm > 1), min_modulus = fmt(mm))
        }
    }
}
# Sparse high-order models whose unnormalised step-down underflows: 1 - 0.5 z^k (stable) and
# 1 - 1.5 z^k (not).
for (k in c(12, 20, 26)) {
    for (c in c(0.5, 1.5)) {
        cf <- c(1, rep(0, k - 1), -c)
        rows[[length(rows) + 1]] <- data.frame(kind = "ar", order = k, coef = join(-cf[-1]),
                                              stable = as.integer(min(Mod(polyroot(cf))) > 1),
                                              min_modulus = fmt(min(Mod(polyroot(cf)))))
    }
}
write.csv(do.call(rbind, rows), out("stability_reference.csv"), row.names = FALSE, quote = FALSE)

# Criterion values at fixed parameters for tests/data/spectral_criterion_reference.csv: the
# series of tests/data/periodogram_series.csv (even and odd lengths), their ordinates
# I(j) = (2/N)|sum z_t exp(-i w_j t)|^2 at w_j = 2 pi j/N, j = 1..N %/% 2 (z = x - mean(x)), and
# g(j) = |theta(z)/phi(z)|^2 |1 - z|^(-2d) at z = exp(i w_j); for even N the last ordinate
# counts half in sigma2 and its ln g is dropped once more from F.
criterion <- function(x, p, q, beta) {
    N <- length(x)
    m <- N %/% 2
    I <- 2 * Mod(fft(x - mean(x))[2:(m + 1)])^2 / N
    zz <- exp(1i * 2 * pi * (1:m) / N)
    ph <- rep(1 + 0i, m)
    th <- rep(1 + 0i, m)
    for (i in seq_len(p)) ph <- ph - beta[i] * zz^i
    for (i in seq_len(q)) th <- th + beta[p + i] * zz^i
    g <- Mod(th / ph)^2 * Mod(1 - zz)^(-2 * beta[p + q + 1])
    s2 <- sum(I / g) / N
    F <- log(s2) + 2 * sum(log(g)) / N
    if (N %% 2 == 0) {
        s2 <- s2 - 0.5 * I[m] / (g[m] * N)
        F <- log(s2) + 2 * sum(log(g)) / N - log(g[m]) / N
    }
    c(F, s2)
}
series <- read.csv(out("periodogram_series.csv"))
models <- list(list(p = 0, q = 0, beta = 0), list(p = 0, q = 0, beta = 0.3),
               list(p = 0, q = 0, beta = -0.45), list(p = 1, q = 0, beta = c(0.6, 0.1)),
               list(p = 0, q = 1, beta = c(-0.4, 0.25)), list(p = 1, q = 1, beta = c(0.5, 0.3, 0.2)),
               list(p = 2, q = 1, beta = c(1.1, -0.4, -0.3, -0.1)),
               list(p = 2, q = 2, beta = c(1.1, -0.4, -0.3, 0.2, 0.05)),
               list(p = 3, q = 2, beta = c(0.5, -0.2, 0.1, 0.4, 0.2, 0.35)),
               list(p = 0, q = 3, beta = c(0.3, 0.2, 0.1, -0.2)))
rows <- list()
for (name in unique(series$series)) {
    x <- series$x[series$series == name]
    for (mo in models) {
        v <- criterion(x, mo$p, mo$q, mo$beta)
        rows[[length(rows) + 1]] <- data.frame(series = name, p = mo$p, q = mo$q, beta = join(mo$beta),
                                              F = fmt(v[1]), sigma2 = fmt(v[2]))
    }
}
write.csv(do.call(rbind, rows), out("spectral_criterion_reference.csv"), row.names = FALSE, quote = FALSE)

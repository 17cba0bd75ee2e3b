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

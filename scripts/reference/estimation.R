# Reference tables for tests/unit/preliminary_estimation_test.cpp and
# tests/unit/max_likelihood_test.cpp. Run from the repository root:
#   Rscript scripts/reference/estimation.R
# Series (tests/data/estimation_series.csv): lh and sunspot.year with their means removed, the
# first four values of the demeaned lh ("short") and a simulated multiplicative seasonal AR
# ("seasonal"). The Yule-Walker and Burg estimates come from ar.yw and ar.burg; the innovations
# and Hannan-Rissanen estimates, which R does not offer, from their defining formulas; the AICC of
# each order of the minimum-AICC search from arima at the fitted coefficients; the maximum
# likelihood and least squares fits from arima and from optim over KalmanRun.
fmt <- function(v) paste(sprintf("%.12g", v), collapse = " ")
lnTwoPi <- log(6.28318)

demean <- function(x) x - mean(x)
set.seed(20261210)
seasonal <- as.numeric(arima.sim(list(ar = c(0.5, rep(0, 10), 0.6, -0.3)), n = 240))
series <- list(lh = demean(as.numeric(lh)), sunspot = demean(as.numeric(sunspot.year)),
               short = demean(as.numeric(lh))[11:14], seasonal = seasonal,
               nile_diff = demean(diff(as.numeric(Nile))))
values <- do.call(rbind, lapply(names(series), function(name)
    data.frame(series = name, t = seq_along(series[[name]]), value = sprintf("%.17g", series[[name]]))))
write.csv(values, "tests/data/estimation_series.csv", row.names = FALSE, quote = FALSE)

sample_acvf <- function(x, K) sapply(0:K, function(h) sum(x[(1 + h):length(x)] * x[1:(length(x) - h)]) / length(x))

# Preliminary estimates: coefficients, the ratios to 1.96 standard errors, the method's variance.
prelim <- list()
add <- function(name, method, p, q, m, coef, ratio, wnvar)
    prelim[[length(prelim) + 1]] <<- data.frame(series = name, method = method, p = p, q = q, m = m,
                                                coef = fmt(coef), ratio = fmt(ratio), wnvar = sprintf("%.12g", wnvar))
for (name in c("lh", "sunspot")) {
    x <- series[[name]]; n <- length(x)
    for (p in c(1, 2, 5)) {
        yw <- ar.yw(x, aic = FALSE, order.max = p, demean = FALSE)
        s2 <- yw$var.pred * (n - p - 1) / n
        se <- sqrt(diag(yw$asy.var.coef) * (n - p - 1) / n)
        add(name, 3, p, 0, p + 1, yw$ar, yw$ar / (1.96 * se), s2)
        bg <- ar.burg(x, aic = FALSE, order.max = p, demean = FALSE, var.method = 2)
        add(name, 4, p, 0, p + 1, bg$ar, bg$ar / (1.96 * se), bg$var.pred)
    }
}

innovations <- function(g, K) {
    v <- numeric(K + 1); th <- matrix(0, K, K); v[1] <- g[1]
    for (i in 1:K) {
        for (k in 0:(i - 1)) {
            s <- g[i - k + 1]
            if (k > 0) for (j in 0:(k - 1)) s <- s - th[k, k - j] * th[i, i - j] * v[j + 1]
            th[i, i - k] <- s / v[k + 1]
        }
        v[i + 1] <- g[1] - sum(th[i, i - (0:(i - 1))]^2 * v[1:i])
    }
    list(theta = th[K, ], v = v[K + 1])
}
for (case in list(list("lh", 0, 1, 18), list("sunspot", 0, 2, 11), list("sunspot", 1, 1, 18),
                  list("sunspot", 2, 2, 21))) {
    name <- case[[1]]; p <- case[[2]]; q <- case[[3]]; m <- case[[4]]
    x <- series[[name]]; n <- length(x)
    inn <- innovations(sample_acvf(x, m - 1), m - 1)
    vt <- function(k) ifelse(k < 0, 0, ifelse(k == 0, 1, inn$theta[pmax(k, 1)]))
    phi <- numeric(0)
    if (p > 0) {
        A <- outer(1:p, 1:p, function(i, j) vt(q + i - j))
        phi <- solve(A, vt(q + 1:p))
    }
    theta <- sapply(seq_len(q), function(j) vt(j) - sum(phi[seq_len(min(j, p))] * vt(j - seq_len(min(j, p)))))
    ratio <- numeric(0)
    if (p == 0) ratio <- theta / (1.96 * sqrt(cumsum(c(1, theta^2))[1:q] / n))
    add(name, 5, p, q, m, c(phi, theta), ratio, inn$v)
}

for (case in list(list("lh", 1, 1), list("sunspot", 2, 1), list("sunspot", 0, 2))) {
    name <- case[[1]]; p <- case[[2]]; q <- case[[3]]
    x <- series[[name]]; n <- length(x)
    L <- min(p + q + 20, min(n %/% 2, 54)); m <- L + 1
    g <- sample_acvf(x, L)
    a <- solve(toeplitz(g[1:L]), g[2:(L + 1)])
    z <- numeric(n)
    for (t in (L + 1):n) z[t] <- x[t] - sum(a * x[t - 1:L])
    rows <- (L + max(p, q) + 1):n
    Z <- matrix(0, length(rows), p + q)
    for (i in seq_len(p)) Z[, i] <- x[rows - i]
    for (j in seq_len(q)) Z[, p + j] <- z[rows - j]
    coef <- solve(crossprod(Z), crossprod(Z, x[rows]))
    M <- solve(crossprod(Z))
    e <- sapply(m:n, function(t) x[t] - sum(coef[seq_len(p)] * x[t - seq_len(p)]) -
                                 sum(coef[p + seq_len(q)] * z[t - seq_len(q)]))
    s2 <- sum(e^2) / (n - m)
    add(name, 6, p, q, m, coef, coef / (1.96 * sqrt(diag(M) * s2)), s2)
}
write.csv(do.call(rbind, prelim), "tests/data/prelim_reference.csv", row.names = FALSE, quote = FALSE)

# The minimum-AICC search: the AICC of each order at its Yule-Walker or Burg fit.
search <- list()
for (name in c("lh", "sunspot", "short")) {
    x <- series[[name]]; n <- length(x)
    for (method in c(1, 2)) {
        aicc <- n * (lnTwoPi + log(sum(x^2) / n) + 1) + 2 / (1 - 2 / n)
        if (n >= 4) for (k in 1:min(n - 3, 26)) {
            fit <- if (method == 1) ar.yw(x, aic = FALSE, order.max = k, demean = FALSE)
                   else ar.burg(x, aic = FALSE, order.max = k, demean = FALSE, var.method = 2)
            ml <- arima(x, order = c(k, 0, 0), include.mean = FALSE, fixed = fit$ar,
                        transform.pars = FALSE, method = "ML")
            m2 <- -2 * ml$loglik - n * log(2 * pi) + n * lnTwoPi
            aicc <- c(aicc, m2 + 2 * (k + 1) / (1 - (k + 2) / n))
        }
        search[[length(search) + 1]] <- data.frame(series = name, method = method, aicc = fmt(aicc))
    }
}
write.csv(do.call(rbind, search), "tests/data/prelim_search_reference.csv", row.names = FALSE, quote = FALSE)

# Maximum likelihood: coefficients, -2 log L (with ln 2 pi) and standard errors. `fixed` lists the
# fixed values (NA for free coefficients); `relation` is the index triple (a, b, d).
ml <- list()
addml <- function(name, kind, p, q, start, fixed, relation, coef, m2, se)
    ml[[length(ml) + 1]] <<- data.frame(series = name, kind = kind, p = p, q = q, start = fmt(start),
                                        fixed = fmt(fixed), relation = relation, coef = fmt(coef),
                                        minus2loglik = sprintf("%.12g", m2), se = fmt(se))
# A root close to the unit circle leaves the coefficients poorly determined.
invertible <- function(theta) length(theta) == 0 || all(Mod(polyroot(c(1, theta))) > 1.01)
for (name in c("lh", "nile_diff", "sunspot")) {
    x <- series[[name]]
    for (o in list(c(1, 0), c(2, 0), c(1, 1), c(2, 2))) {
        fit <- arima(x, order = c(o[1], 0, o[2]), method = "ML", include.mean = FALSE,
                     optim.control = list(reltol = 1e-12, maxit = 1000))
        if (!invertible(coef(fit)[o[1] + seq_len(o[2])])) next
        # Near the unit circle the likelihood is far from quadratic and its curvature depends on
        # the difference step of each program: no standard errors to compare there.
        theta <- coef(fit)[o[1] + seq_len(o[2])]
        se <- if (length(theta) && min(Mod(polyroot(c(1, theta)))) < 1.2) rep(NA, sum(o))
              else sqrt(diag(fit$var.coef))
        addml(name, "ml", o[1], o[2], rep(0.001, sum(o)), rep(NA, sum(o)), "",
              coef(fit), -2 * fit$loglik, se)
    }
}
fit <- arima(series$lh, order = c(3, 0, 0), method = "ML", include.mean = FALSE, fixed = c(NA, 0, NA),
             transform.pars = FALSE, optim.control = list(reltol = 1e-12, maxit = 1000))
addml("lh", "fixed", 3, 0, c(0.001, 0, 0.001), c(NA, 0, NA), "", coef(fit), -2 * fit$loglik,
      c(sqrt(fit$var.coef[1, 1]), 0, sqrt(fit$var.coef[2, 2])))
fit <- arima(series$seasonal, order = c(1, 0, 0), seasonal = list(order = c(1, 0, 0), period = 12),
             method = "ML", include.mean = FALSE, optim.control = list(reltol = 1e-12, maxit = 1000))
a <- coef(fit)
addml("seasonal", "relation", 13, 0, c(0.001, rep(0, 10), 0.001, 0), c(NA, rep(0, 10), NA, NA), "13 1 12",
      c(a[1], rep(0, 10), a[2], -a[1] * a[2]), -2 * fit$loglik,
      c(sqrt(fit$var.coef[1, 1]), rep(0, 10), sqrt(fit$var.coef[2, 2]), 0))
# Least squares: the minimiser of the weighted sum of squares of the exact one-step errors.
for (o in list(c(1, 0), c(1, 1))) {
    x <- series$lh
    ss <- function(par) {
        mod <- makeARIMA(par[seq_len(o[1])], par[o[1] + seq_len(o[2])], numeric())
        KalmanRun(x, mod)$values[["s2"]]
    }
    opt <- optim(rep(0.1, sum(o)), ss, method = "BFGS", control = list(reltol = 1e-14, maxit = 1000))
    addml("lh", "ls", o[1], o[2], rep(0.001, sum(o)), rep(NA, sum(o)), "", opt$par, NA, rep(NA, sum(o)))
}
write.csv(do.call(rbind, ml), "tests/data/ml_estimation_reference.csv", row.names = FALSE, quote = FALSE)

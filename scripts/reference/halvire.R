# Reference tables for halvire's long-memory numerics: the split transform, the model's spectral
# density, its autocovariances, predictors with their mean squared errors, a seeded simulation and
# the Whittle criterion on the Nile series. Run from the repository root:
#   Rscript scripts/reference/halvire.R
# Writes into tests/data:
#   halvire_series.csv    series,t,value: Nile (n = 100) and sim200 (an AR(1) series of 200 values)
#   halvire_dft.csv       n,k,re,im: selected terms of fft() of x(j) = (37j mod 101) - 50 +
#                         i((53j mod 89) - 44), j = 1..n
#   halvire_density.csv   model,m,k,f: |theta|^2 / (|phi|^2 |1 - e^-il|^2d) at l = k pi / m
#   halvire_acvf.csv      case,N,h,gamma: unit-variance autocovariances truncated at N
#   halvire_predict.csv   step,predictor,mse: sim200, h = 10 (Toeplitz solve; cumulative psi^2)
#   halvire_simulate.csv  t,value: the seeded simulation, redone from the Lehmer sequence
#   halvire_whittle.csv   case,p,q,beta,working,F,A: the criterion on Nile
#   halvire_search.csv    case,d,F: optimize() of the ARFIMA(0,d,0) criterion on Nile

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

# --- The series ---------------------------------------------------------------------------------
nile <- as.numeric(datasets::Nile)
set.seed(20240801)
sim200 <- round(as.numeric(arima.sim(list(ar = 0.5), n = 200)), 4)
write.csv(rbind(data.frame(series = "nile", t = seq_along(nile), value = fmt(nile)),
                data.frame(series = "sim200", t = seq_along(sim200), value = fmt(sim200))),
          out("halvire_series.csv"), row.names = FALSE, quote = FALSE)

# --- The transform ------------------------------------------------------------------------------
dft_rows <- list()
for (n in c(1, 1000, 997, 20000)) {
    j <- 1:n
    x <- complex(real = (37 * j) %% 101 - 50, imaginary = (53 * j) %% 89 - 44)
    X <- fft(x)
    ks <- unique(pmin(n, c(1:5, round(seq(1, n, length.out = 25)), n)))
    dft_rows[[length(dft_rows) + 1]] <- data.frame(n = n, k = ks, re = fmt(Re(X[ks])),
                                                   im = fmt(Im(X[ks])))
}
write.csv(do.call(rbind, dft_rows), out("halvire_dft.csv"), row.names = FALSE, quote = FALSE)

# --- The spectral density -----------------------------------------------------------------------
density <- function(lambda, phi, theta, d) {
    z <- exp(-1i * lambda)
    ar <- rep(1 + 0i, length(lambda))
    for (j in seq_along(phi)) ar <- ar - phi[j] * z^j
    ma <- rep(1 + 0i, length(lambda))
    for (j in seq_along(theta)) ma <- ma + theta[j] * z^j
    frac <- if (abs(d) >= 1e-4) Mod(1 - z)^(2 * d) else 1
    Mod(ma)^2 / (Mod(ar)^2 * frac)
}
models <- list(arfima11 = list(phi = 0.5, theta = 0.3, d = 0.2, m = 50),
               arfima22 = list(phi = c(0.6, -0.3), theta = c(-0.4, 0.2), d = -0.3, m = 37))
density_rows <- list()
for (name in names(models)) {
    mo <- models[[name]]
    k <- 1:mo$m
    density_rows[[name]] <- data.frame(model = name, m = mo$m, k = k,
                                       f = fmt(density(k * pi / mo$m, mo$phi, mo$theta, mo$d)))
}
write.csv(do.call(rbind, density_rows), out("halvire_density.csv"), row.names = FALSE,
          quote = FALSE)

# --- Autocovariances ----------------------------------------------------------------------------
# Fractional autocorrelations rho(h), h >= 0, in closed form.
frac_rho <- function(h, d) {
    if (d == 0) return(as.numeric(h == 0))
    ifelse(h == 0, 1, exp(lgamma(h + d) - lgamma(h - d + 1)) * gamma(1 - d) / gamma(d))
}
frac_g0 <- function(d) gamma(1 - 2 * d) / gamma(1 - d)^2
# gamma(h) = g0 sum_j sum_k rho(h - j + k) psi(j) psi(k), j, k = 0..N.
truncated_acvf <- function(phi, theta, d, H, N) {
    psi <- c(1, ARMAtoMA(ar = phi, ma = theta, lag.max = N))
    rho <- frac_rho(0:(H + N), d)
    r <- function(s) rho[abs(s) + 1]
    sapply(0:H, function(h) {
        s <- 0
        for (j in 0:N) s <- s + psi[j + 1] * sum(r(h - j + 0:N) * psi)
        s
    }) * frac_g0(d)
}
acvf_cases <- list(
    arma_d0 = list(phi = c(0.6, -0.2), theta = 0.4, d = 0, H = 10, N = 50),
    frac_plus = list(phi = numeric(0), theta = numeric(0), d = 0.3, H = 10, N = 50),
    frac_minus = list(phi = numeric(0), theta = numeric(0), d = -0.3, H = 10, N = 50),
    arfima11 = list(phi = 0.5, theta = 0.3, d = 0.2, H = 20, N = 50),
    arfima11_n200 = list(phi = 0.5, theta = 0.3, d = 0.2, H = 20, N = 200))
acvf_rows <- list()
for (name in names(acvf_cases)) {
    a <- acvf_cases[[name]]
    if (length(a$phi) + length(a$theta) == 0) {
        # p = q = 0: gamma(h) = g0 rho(h) exactly, from the gamma function alone.
        g <- frac_g0(a$d) * frac_rho(0:a$H, a$d)
    } else if (a$d == 0) {
        # d = 0: the ARMA autocovariances from the psi weights, pairs within 0..N.
        psi <- c(1, ARMAtoMA(ar = a$phi, ma = a$theta, lag.max = a$N))
        g <- sapply(0:a$H, function(h) sum(psi[1:(a$N + 1 - h)] * psi[(1 + h):(a$N + 1)]))
    } else {
        g <- truncated_acvf(a$phi, a$theta, a$d, a$H, a$N)
    }
    acvf_rows[[name]] <- data.frame(case = name, N = a$N, h = 0:a$H, gamma = fmt(g))
}
write.csv(do.call(rbind, acvf_rows), out("halvire_acvf.csv"), row.names = FALSE, quote = FALSE)

# --- Prediction ---------------------------------------------------------------------------------
pm <- list(phi = 0.5, theta = 0.3, d = 0.2, N = 50, sigma2 = 1.7, h = 10)
n <- length(sim200)
g <- truncated_acvf(pm$phi, pm$theta, pm$d, n + pm$h, pm$N)
Gamma <- toeplitz(g[1:n])
predictor <- sapply(1:pm$h, function(i) {
    a <- solve(Gamma, g[i - 1 + (1:n) + 1])
    sum(a * sim200[n:1])
})
# psi weights of the whole model: the fractional series times the ARMA weights.
cf <- c(1, cumprod(((1:(pm$h - 1)) - 1 + pm$d) / (1:(pm$h - 1))))
a <- c(1, ARMAtoMA(ar = pm$phi, ma = pm$theta, lag.max = pm$h))
w <- sapply(0:(pm$h - 1), function(k) sum(cf[1:(k + 1)] * a[(k + 1):1]))
write.csv(data.frame(step = 1:pm$h, predictor = fmt(predictor), mse = fmt(pm$sigma2 * cumsum(w^2))),
          out("halvire_predict.csv"), row.names = FALSE, quote = FALSE)

# --- Simulation ---------------------------------------------------------------------------------
sm <- list(phi = 0.5, theta = 0.3, d = 0.2, N = 50, sigma2 = 2, n = 60, seed = 12345)
state <- sm$seed
uniform <- function() {
    state <<- (48271 * state) %% 2147483647
    state / 2147483647
}
z <- numeric(sm$n)
for (i in 1:sm$n) {
    u1 <- uniform()
    u2 <- uniform()
    z[i] <- sin(6.28318548 * u2) * sqrt(-2 * log(u1))
}
g <- sm$sigma2 * truncated_acvf(sm$phi, sm$theta, sm$d, sm$n, sm$N)
x <- numeric(sm$n)
v <- g[1]
x[1] <- sqrt(v) * z[1]
ph <- numeric(0)
for (t in 1:(sm$n - 1)) {
    ptt <- (g[t + 1] - sum(ph * g[t - seq_along(ph) + 1])) / v
    ph <- c(ph - ptt * rev(ph), ptt)
    xhat <- sum(ph * x[t:1])
    v <- (1 - ptt^2) * v
    x[t + 1] <- xhat + sqrt(v) * z[t + 1]
}
write.csv(data.frame(t = 1:sm$n, value = fmt(x)), out("halvire_simulate.csv"), row.names = FALSE,
          quote = FALSE)

# --- The Whittle criterion ----------------------------------------------------------------------
working_length <- function(n) {
    if (n >= 1001 && n <= 2000) return(10 * (n %/% 10))
    if (n >= 2001 && n <= 4000) return(20 * (n %/% 20))
    if (n >= 4001 && n <= 10000) return(40 * (n %/% 40))
    if (n >= 10001 && n <= 20000) return(100 * (n %/% 100))
    if (n %% 2 == 1) n - 1 else n
}
whittle <- function(x, phi, theta, d) {
    np <- working_length(length(x))
    y <- tail(x, np)
    m <- np %/% 2
    I <- Mod(fft(y)[2:(m + 1)])^2 / np
    f <- density((1:m) * pi / m, phi, theta, d)
    r <- I / f
    A <- (r[m] + 2 * sum(r[-m])) / np
    list(F = log(A) + (log(f[m]) + 2 * sum(log(f[-m]))) / np, A = A, working = np)
}
nile_c <- nile - mean(nile)
whittle_cases <- list(
    list(case = "white", x = nile_c, phi = numeric(0), theta = numeric(0), d = 0),
    list(case = "frac", x = nile_c, phi = numeric(0), theta = numeric(0), d = 0.25),
    list(case = "arfima11", x = nile_c, phi = 0.5, theta = 0.3, d = 0.2),
    list(case = "arfima10_raw", x = nile, phi = 0.3, theta = numeric(0), d = 0.2),
    list(case = "ma1_odd", x = nile_c[1:99], phi = numeric(0), theta = -0.4, d = 0.1))
whittle_rows <- list()
for (wc in whittle_cases) {
    r <- whittle(wc$x, wc$phi, wc$theta, wc$d)
    whittle_rows[[wc$case]] <- data.frame(case = wc$case, p = length(wc$phi),
                                          q = length(wc$theta),
                                          beta = join(c(wc$phi, wc$theta, wc$d)),
                                          working = r$working, F = fmt(r$F), A = fmt(r$A))
}
write.csv(do.call(rbind, whittle_rows), out("halvire_whittle.csv"), row.names = FALSE,
          quote = FALSE)

opt <- optimize(function(d) whittle(nile_c, numeric(0), numeric(0), d)$F, c(-0.499, 0.499),
                tol = 1e-10)
write.csv(data.frame(case = "nile_frac", d = fmt(opt$minimum), F = fmt(opt$objective)),
          out("halvire_search.csv"), row.names = FALSE, quote = FALSE)

# Reference tables for the decomposition and smoothing unit tests (decomposition, smoothing,
# fft_smoother). Run from the repository root:
#   Rscript scripts/reference/smoothing_decomposition.R
# Writes small CSV files under tests/data/ so that the tests need no R at run time.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

set.seed(20240611)
n5 <- 53
sim_season5 <- 10 + 0.05 * (1:n5) + rep(c(2, -1, 0.5, -3, 1.5), length.out = n5) + rnorm(n5)
n7 <- 40
sim_season7 <- rep(c(1, 4, -2, 0, 3, -5, 2), length.out = n7) + rnorm(n7, sd = 0.5)
sim_quad <- 3 - 0.4 * (1:70) + 0.02 * (1:70)^2 + rnorm(70)
sim_level <- 5 + cumsum(rnorm(120, sd = 0.3)) + rnorm(120)
series <- list(nottem = as.numeric(datasets::nottem),
               UKgas = as.numeric(datasets::UKgas),
               LakeHuron = as.numeric(datasets::LakeHuron),
               austres = as.numeric(datasets::austres),
               lynx = as.numeric(datasets::lynx),
               sim_season5 = sim_season5,
               sim_season7 = sim_season7,
               sim_quad = sim_quad,
               sim_level = sim_level)
s <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s, out("smoothing_series.csv"), row.names = FALSE, quote = FALSE)

# Seasonal figures of the classical additive decomposition.
cases <- list(c("nottem", 12), c("UKgas", 4), c("sim_season5", 5), c("sim_season7", 7))
# The last two cases are the shortest series for an even period (n = d + 2h = 2d).
cases <- c(cases, list(c("UKgas", 4, 8), c("nottem", 12, 24)))
rows <- lapply(cases, function(cs) {
    d <- as.integer(cs[2])
    x <- series[[cs[1]]]
    n <- if (length(cs) > 2) as.integer(cs[3]) else length(x)
    fig <- decompose(ts(x[1:n], frequency = d))$figure
    data.frame(series = cs[1], d = d, n = n, figure = join(fig))
})
write.csv(do.call(rbind, rows), out("decompose_reference.csv"), row.names = FALSE, quote = FALSE)

# Polynomial trends and harmonic regressions by lm.
trend_rows <- list()
for (nm in c("LakeHuron", "sim_quad", "UKgas")) {
    x <- series[[nm]]
    t <- seq_along(x)
    c1 <- coef(lm(x ~ t))
    c2 <- coef(lm(x ~ t + I(t^2)))
    trend_rows[[length(trend_rows) + 1]] <- data.frame(series = nm, degree = 1,
                                                      coef = join(c(c1, 0)))
    trend_rows[[length(trend_rows) + 1]] <- data.frame(series = nm, degree = 2,
                                                      coef = join(c2))
}
write.csv(do.call(rbind, trend_rows), out("trend_reference.csv"), row.names = FALSE,
          quote = FALSE)

harm_cases <- list(list(nm = "nottem", f = c(20, 40)), list(nm = "LakeHuron", f = c(1, 3, 7)),
                   list(nm = "austres", f = c(2, 11, 30)))
harm_rows <- lapply(harm_cases, function(hc) {
    x <- series[[hc$nm]]
    n <- length(x)
    t <- seq_along(x)
    X <- do.call(cbind, lapply(hc$f, function(f) cbind(cos(2 * pi * f * t / n),
                                                          sin(2 * pi * f * t / n))))
    fitted <- lm(x ~ X)
    cf <- coef(fitted)
    data.frame(series = hc$nm, f = paste(hc$f, collapse = " "), level = fmt(cf[1]),
               cos_coef = join(cf[seq(2, length(cf), 2)]),
               sin_coef = join(cf[seq(3, length(cf), 2)]),
               rss = fmt(sum(residuals(fitted)^2)))
})
write.csv(do.call(rbind, harm_rows), out("harmonic_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Exponential smoothing: SSE at fixed constants from HoltWinters, and the best constant of the
# grid 0, 0.01, ..., 0.99 by a plain loop (first minimum wins).
ses_sse <- function(x, a) {
    m <- x[1]
    sse <- 0
    for (t in 2:length(x)) {
        sse <- sse + (x[t] - m)^2
        m <- m * (1 - a) + x[t] * a
    }
    sse
}
es_rows <- list()
for (nm in c("LakeHuron", "nottem", "austres", "sim_level")) {
    x <- series[[nm]]
    for (a in c(0.1, 0.35, 0.8, 1)) {
        hw <- HoltWinters(x, alpha = a, beta = FALSE, gamma = FALSE)
        es_rows[[length(es_rows) + 1]] <- data.frame(series = nm, alpha = fmt(a),
                                                    sse = fmt(hw$SSE), last = fmt(tail(hw$coefficients, 1)))
    }
    grid <- seq(0, 99) / 100
    sse <- sapply(grid, function(a) ses_sse(x, a))
    es_rows[[length(es_rows) + 1]] <- data.frame(series = nm, alpha = "-1",
                                                sse = fmt(min(sse)), last = fmt(grid[which.min(sse)]))
}
write.csv(do.call(rbind, es_rows), out("exp_smooth_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Moving average with the ends repeated: pad, convolve with stats::filter, keep the middle.
# Interior values also by kernapply, which only returns the interior.
ma_rows <- list()
ma_cases <- list(list(nm = "LakeHuron", w = kernel("daniell", 3)$coef),
                 list(nm = "lynx", w = kernel("modified.daniell", c(1, 2))$coef),
                 list(nm = "austres", w = c(0.4, 0.2, 0.1)))
for (mc in ma_cases) {
    x <- series[[mc$nm]]
    n <- length(x)
    q <- length(mc$w) - 1
    padded <- c(rep(x[1], q), x, rep(x[n], q))
    full <- as.numeric(stats::filter(padded, c(rev(mc$w), mc$w[-1]), sides = 2))[q + 1:n]
    k <- kernel(c(mc$w), q)
    interior <- rep(NA, n)
    interior[(q + 1):(n - q)] <- kernapply(x, k)
    ma_rows[[length(ma_rows) + 1]] <- data.frame(series = mc$nm, w = join(mc$w), t = 1:n,
                                                full = fmt(full), interior = fmt(interior))
}
write.csv(do.call(rbind, ma_rows), out("moving_average_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Periodogram smoother: ordinates 1..m of the raw periodogram, extended below frequency 1 by
# reflection (frequency 0 takes the separately formed S(0)) and above m by reflection about the
# top frequency (2m - hi for even n, 2m - hi + 1 for odd n), then convolved.
pg_rows <- list()
pg_cases <- list(list(nm = "lynx", W = kernel("daniell", 2)$coef),
                 list(nm = "austres", W = kernel("modified.daniell", c(1, 1))$coef),
                 list(nm = "LakeHuron", W = c(0.2, 0.15, 0.12, 0.08, 0.05)))
for (pc in pg_cases) {
    x <- series[[pc$nm]]
    n <- length(x)
    m <- n %/% 2
    I <- (Mod(fft(x - mean(x)))^2 / n)[2:(m + 1)]
    W <- pc$W
    q <- length(W) - 1
    S0 <- W[1] * I[1] + if (q > 0) sum(2 * I[2:(q + 1)] * W[2:(q + 1)]) else 0
    ext <- function(i) {
        if (i == 0) return(S0)
        if (i < 0) return(I[-i])
        if (i <= m) return(I[i])
        if (n %% 2 == 0) I[2 * m - i] else I[2 * m - i + 1]
    }
    padded <- sapply(-q:(m + q), ext)
    full <- as.numeric(stats::filter(padded, c(rev(W), W[-1]), sides = 2))[q + 1 + 1:m]
    interior <- rep(NA, m)
    interior[(q + 1):(m - q)] <- kernapply(I, kernel(c(W), q))
    pg_rows[[length(pg_rows) + 1]] <- data.frame(series = pc$nm, n = n, W = join(W), k = 0:m,
                                                I = c("", fmt(I)), S = fmt(c(S0, full)),
                                                interior = c("NA", fmt(interior)))
}
write.csv(do.call(rbind, pg_rows), out("periodogram_smoother_reference.csv"), row.names = FALSE,
          quote = FALSE)

# FFT low-pass smoother: R's fft, the coefficients above the kept band zeroed, inverse fft / n.
fft_rows <- list()
fft_cases <- list(list(nm = "sim12", x = rnorm(12), frac = c(0.5, 0.25, 0, 1)),
                  list(nm = "sim13", x = cumsum(rnorm(13)), frac = c(0.5, 0.3)),
                  list(nm = "LakeHuron", x = series$LakeHuron, frac = c(0.2, 0.75)),
                  list(nm = "austres", x = series$austres, frac = c(0.1)))
for (fc in fft_cases) {
    x <- fc$x
    n <- length(x)
    for (frac in fc$frac) {
        z <- fft(x)
        j <- 0:(n - 1)
        freq <- pmin(j, n - j)
        z[2 * freq > n * frac] <- 0
        y <- Re(fft(z, inverse = TRUE)) / n
        fft_rows[[length(fft_rows) + 1]] <- data.frame(case = fc$nm, frac = fmt(frac), t = 1:n,
                                                      x = fmt(x), y = fmt(y))
    }
}
write.csv(do.call(rbind, fft_rows), out("fft_smoother_reference.csv"), row.names = FALSE,
          quote = FALSE)

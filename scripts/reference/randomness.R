# Reference tables for the tests of randomness (tests/unit/randomness_tests_test.cpp).
# Run from the repository root:
#   Rscript scripts/reference/randomness.R
# Ljung-Box and McLeod-Li from Box.test (McLeod-Li = Ljung-Box on the squares); the counting
# tests by direct counts; the minimum-AICC Yule-Walker order by a separate implementation of the
# exact AR likelihood (Toeplitz solve with solve(), innovations of the fits of each order).

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)

set.seed(20240612)
lh <- as.numeric(datasets::lh)
series <- list(
    lh = lh - mean(lh),
    ar2 = as.numeric(arima.sim(list(ar = c(0.5, -0.4)), n = 200)),
    wn = rnorm(120),
    arch = { e <- rnorm(150); y <- numeric(150); s2 <- 1
             for (t in 1:150) { y[t] <- sqrt(s2) * e[t]; s2 <- 0.2 + 0.7 * y[t]^2 }; y },
    short10 = rnorm(10),
    worked4 = c(1, 3, 2, 4))
cases <- list(list(s = "lh", h = 20), list(s = "ar2", h = 30), list(s = "wn", h = 26),
              list(s = "arch", h = 12), list(s = "short10", h = 9),
              list(s = "worked4", h = 1))

source(file.path("scripts", "reference", "randomness_helpers.R"))

rows <- list()
series_rows <- list()
for (cs in cases) {
    x <- series[[cs$s]]
    n <- length(x)
    lb <- Box.test(x, lag = cs$h, type = "Ljung-Box")$statistic
    ml <- Box.test(x^2, lag = cs$h, type = "Ljung-Box")$statistic
    cnt <- count_tests(x)
    rows[[cs$s]] <- data.frame(series = cs$s, n = n, h = cs$h, qLB = fmt(lb), qML = fmt(ml),
                               order = aicc_order(x, cs$h), tp = cnt[1], ds = cnt[2],
                               rk = cnt[3])
    series_rows[[cs$s]] <- data.frame(series = cs$s, t = 1:n, value = fmt(x))
}
write.csv(do.call(rbind, rows), out("randomness_reference.csv"), row.names = FALSE,
          quote = FALSE)
write.csv(do.call(rbind, series_rows), out("randomness_series.csv"), row.names = FALSE,
          quote = FALSE)

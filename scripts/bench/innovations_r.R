# Times R's exact ARMA likelihood (the Kalman filter behind arima: makeARIMA with the exact
# initial state covariance, then ARIMA_Like, as each evaluation of arima's objective does) for
# the ARMA(2,2) and the airline MA(13) of bench/innovations_bench.cpp, in ns per observation.
#   Rscript scripts/bench/innovations_r.R SERIES_FILE SEASONAL_SERIES_FILE
# Files: one value per line (written by scripts/bench/innovations_vs_r.sh).
args <- commandArgs(trailingOnly = TRUE)
models <- list(
    list(name = "Arma22", file = args[1], phi = c(1.1, -0.4), theta = c(-0.3, 0.2)),
    list(name = "Airline", file = args[2], phi = numeric(0),
         theta = c(-0.4, rep(0, 10), -0.55, 0.22)))
like <- function(x, phi, theta) {
    mod <- makeARIMA(phi, theta, numeric(0), SSinit = "Rossignol2011")
    r <- .Call(stats:::C_ARIMA_Like, x, mod, 0L, FALSE)
    n <- length(x)
    log(r[[1]] / n) + r[[2]] / n
}
for (m in models) {
    x_all <- scan(m$file, quiet = TRUE)
    for (n in c(1e4, 1e5, 1e6)) {
        x <- x_all[1:n]
        reps <- max(3, round(2e6 / n))
        value <- like(x, m$phi, m$theta)
        t <- system.time(for (i in seq_len(reps)) like(x, m$phi, m$theta))[["elapsed"]]
        cat(sprintf("R_ARIMA_Like_%s/%d  %.2f ns per observation  reduced_lik=%.10g\n",
                    m$name, as.integer(n), 1e9 * t / (reps * n), value))
    }
}

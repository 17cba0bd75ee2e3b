# Times R's exact ARMA likelihood (the Kalman filter behind arima: makeARIMA with the exact
# initial state covariance, then ARIMA_Like, as each evaluation of arima's objective does) for
# the ARMA(2,2) of bench/innovations_bench.cpp, in ns per observation.
#   Rscript scripts/bench/innovations_r.R SERIES_FILE
# SERIES_FILE: one value per line (written by scripts/bench/innovations_vs_r.sh).
args <- commandArgs(trailingOnly = TRUE)
x_all <- scan(args[1], quiet = TRUE)
phi <- c(1.1, -0.4)
theta <- c(-0.3, 0.2)
like <- function(x) {
    mod <- makeARIMA(phi, theta, numeric(0), SSinit = "Rossignol2011")
    r <- .Call(stats:::C_ARIMA_Like, x, mod, 0L, FALSE)
    n <- length(x)
    log(r[[1]] / n) + r[[2]] / n
}
for (n in c(1e4, 1e5, 1e6)) {
    x <- x_all[1:n]
    reps <- max(3, round(2e6 / n))
    value <- like(x)
    t <- system.time(for (i in seq_len(reps)) like(x))[["elapsed"]]
    cat(sprintf("R_ARIMA_Like/%d  %.2f ns per observation  reduced_lik=%.10g\n",
                as.integer(n), 1e9 * t / (reps * n), value))
}

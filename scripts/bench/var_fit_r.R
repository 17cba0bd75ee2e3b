# Times R's minimum-AICC vector autoregressions, ar.yw and ar.burg with order.max = 20, on the
# series of bench/var_fit_bench.cpp, in milliseconds per fit.
#   Rscript scripts/bench/var_fit_r.R SERIES_FILE
# SERIES_FILE: one time a line, its 3 values separated by blanks (written by
# scripts/bench/var_fit_vs_r.sh).
args <- commandArgs(trailingOnly = TRUE)
x <- matrix(scan(args[1], quiet = TRUE), ncol = 3, byrow = TRUE)
for (method in c("yw", "burg")) {
    fit <- function() ar(x, aic = TRUE, order.max = 20, method = method)
    order <- fit()$order
    reps <- 5
    t <- system.time(for (i in seq_len(reps)) fit())[["elapsed"]]
    cat(sprintf("R_ar.%s  %.1f ms per fit  order=%d\n", method, 1e3 * t / reps, order))
}

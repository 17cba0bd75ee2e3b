# Times R's counterparts of bench/smoothing_bench.cpp on the same series, in ms per call: the
# FFT low pass keeping half the band (fft, zeroing, inverse fft / n) at n = 1e5 and 10007,
# HoltWinters(beta = FALSE, gamma = FALSE) (its filter and its search for alpha) at n = 1e5, and
# filter(sides = 2) with 199 equal weights (a moving average of order 99) at n = 1e5.
#   Rscript scripts/bench/smoothing_r.R SERIES_FILE
args <- commandArgs(trailingOnly = TRUE)
x_all <- scan(args[1], quiet = TRUE)
timed <- function(name, reps, f) {
    value <- f()
    t <- system.time(for (i in seq_len(reps)) f())[["elapsed"]]
    cat(sprintf("%-28s %10.3f ms per call   first=%.10g\n", name, 1e3 * t / reps, value))
}
low_pass <- function(x, frac) {
    n <- length(x)
    z <- fft(x)
    j <- 0:(n - 1)
    z[2 * pmin(j, n - j) > n * frac] <- 0
    Re(fft(z, inverse = TRUE)) / n
}
for (n in c(100000, 10007)) {
    x <- x_all[1:n]
    timed(sprintf("R_fft_low_pass/%d", n), 50, function() low_pass(x, 0.5)[1])
}
x <- ts(x_all[1:100000])
timed("R_HoltWinters/100000", 5, function() HoltWinters(x, beta = FALSE, gamma = FALSE)$alpha)
w <- rep(1 / 199, 199)
timed("R_filter_sides2_q99/100000", 20, function() stats::filter(x, w, sides = 2)[500])

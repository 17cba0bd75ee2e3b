# Times R on the Fourier workloads of bench/fft_bench.cpp, on the same series, in milliseconds
# (median of repeated runs): fft of a complex series, the raw periodogram spec.pgram, and the fft
# low-pass that keeps frequency index j when 2·min(j, n-j) <= n·frac (frac = 0.1, as the bench).
# R's fft costs O(n·p) for a prime factor p, so the long primes are timed once (99991) or left
# out (999983 and 10^6+2 = 2·3·166667 would take minutes to hours).
#   Rscript scripts/bench/fft_r.R SERIES_FILE
args <- commandArgs(trailingOnly = TRUE)
x_all <- scan(args[1], quiet = TRUE)
median_ms <- function(f, reps) {
    f()
    1000 * median(replicate(reps, system.time(f())[["elapsed"]]))
}
report <- function(name, n, ms) cat(sprintf("R %s/%d %.3f\n", name, as.integer(n), ms))

for (n in c(2^20, 1e6, 2 * 3^12, 99991)) {
    z <- complex(real = x_all[1:n], imaginary = x_all[2:(n + 1)])
    reps <- if (n == 99991) 1 else 7
    if (n == 99991) report("ComplexFft", n, 1000 * system.time(fft(z))[["elapsed"]])
    else report("ComplexFft", n, median_ms(function() fft(z), reps))
}
for (n in c(1e6)) {
    x <- x_all[1:n]
    report("Periodogram", n, median_ms(function() spec.pgram(x, taper = 0, detrend = FALSE, demean = TRUE,
                                                            fast = FALSE, plot = FALSE), 7))
}
for (n in c(1e5, 1e6)) {
    x <- x_all[1:n]
    j <- 0:(n - 1)
    keep <- 2 * pmin(j, n - j) <= n * 0.1
    report("FftSmoothing", n, median_ms(function() Re(fft(fft(x) * keep, inverse = TRUE)) / n, 7))
}

# Times R on the Fourier workloads of bench/fft_bench.cpp, on the same series, in milliseconds
# per call (median of repeated runs, each run repeating the call for at least a fifth of a second
# so that short calls are timed too): fft of a complex series, the periodogram as Mod(fft(x))^2
# and as the raw spec.pgram, and the fft low-pass that keeps frequency index j when
# 2·min(j, n-j) <= n·frac (frac = 0.1, as the bench). R's fft costs O(n·p) for a prime factor p,
# so the prime 99991 is timed by one call and the lengths with a large prime left out (999983
# and 10^6+2 = 2·3·166667 would take minutes to hours).
#   Rscript scripts/bench/fft_r.R SERIES_FILE
args <- commandArgs(trailingOnly = TRUE)
x_all <- scan(args[1], quiet = TRUE)
per_call_ms <- function(f) {
    f()
    calls <- 0
    start <- proc.time()[["elapsed"]]
    repeat {
        f()
        calls <- calls + 1
        elapsed <- proc.time()[["elapsed"]] - start
        if (elapsed >= 0.2) break
    }
    1000 * elapsed / calls
}
median_ms <- function(f, reps = 5) median(replicate(reps, per_call_ms(f)))
once_ms <- function(f) 1000 * system.time(f())[["elapsed"]]
report <- function(name, n, ms) cat(sprintf("R %s/%d %.6f\n", name, as.integer(n), ms))

for (n in c(2^20, 1e6, 2 * 3^12, 99991)) {
    z <- complex(real = x_all[1:n], imaginary = x_all[2:(n + 1)])
    if (n == 99991) report("ComplexFft", n, once_ms(function() fft(z)))
    else report("ComplexFft", n, median_ms(function() fft(z)))
}
for (n in c(1e3, 1e4, 1e5, 1e6, 2^20, 99991)) {
    x <- x_all[1:n]
    if (n == 99991) {
        report("ModFft", n, once_ms(function() Mod(fft(x))^2))
    } else {
        report("ModFft", n, median_ms(function() Mod(fft(x))^2))
        report("Periodogram", n, median_ms(function() spec.pgram(x, taper = 0, detrend = FALSE, demean = TRUE,
                                                                  fast = FALSE, plot = FALSE)))
    }
}
for (n in c(1e5, 1e6)) {
    x <- x_all[1:n]
    j <- 0:(n - 1)
    keep <- 2 * pmin(j, n - j) <= n * 0.1
    report("FftSmoothing", n, median_ms(function() Re(fft(fft(x) * keep, inverse = TRUE)) / n))
}

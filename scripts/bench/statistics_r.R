# Times R's acf (40 lags, with the PACF) and spec.pgram (no taper, no detrending, no padding)
# on the series of scripts/bench/statistics_vs_r.sh, n = 1e6 and 2^20, in ns per observation.
#   Rscript scripts/bench/statistics_r.R SERIES_FILE
args <- commandArgs(trailingOnly = TRUE)
x_all <- scan(args[1], quiet = TRUE)
# Wall and CPU (user + system) time per call, beside the benchmark's Time and CPU columns.
time_it <- function(label, f, reps) {
  f()
  t <- system.time(for (i in seq_len(reps)) f())
  cpu <- t[["user.self"]] + t[["sys.self"]]
  cat(sprintf("%-24s %8.1f ms wall %8.1f ms CPU  %7.2f ns CPU per observation\n", label,
              1e3 * t[["elapsed"]] / reps, 1e3 * cpu / reps, 1e9 * cpu / (reps * length(x))))
}
x <- x_all[1:1e6]
time_it("R_acf_pacf/1000000", function() { acf(x, lag.max = 40, plot = FALSE); pacf(x, lag.max = 40, plot = FALSE) }, 5)
time_it("R_acf/1000000", function() acf(x, lag.max = 40, plot = FALSE), 5)
for (n in c(1e6, 2^20)) {
  x <- x_all[1:n]
  time_it(sprintf("R_spec.pgram/%d", as.integer(n)),
          function() spec.pgram(x, taper = 0, detrend = FALSE, demean = TRUE, fast = FALSE, plot = FALSE), 5)
}

# Reference values for the FFT and periodogram unit tests (numlib/fft.cpp, numlib/periodogram.cpp).
# Run from the repository root:  Rscript scripts/reference/fft_periodogram.R
# Writes tests/data/fft_reference.csv and tests/data/periodogram_reference.csv.

set.seed(20240611)
fmt <- function(v) formatC(v, digits = 17, format = "g")

# FFT: R's fft (unnormalised, exp(-2 pi i j n / N)) of random complex sequences.
rows <- list()
for (n in c(1, 2, 4, 8, 12, 24, 100, 7, 49, 101, 221)) {
  x <- complex(real = rnorm(n), imaginary = rnorm(n))
  y <- fft(x)
  rows[[length(rows) + 1]] <- data.frame(n = n, k = seq_len(n) - 1,
    x_re = fmt(Re(x)), x_im = fmt(Im(x)), y_re = fmt(Re(y)), y_im = fmt(Im(y)))
}
write.csv(do.call(rbind, rows), "tests/data/fft_reference.csv", row.names = FALSE, quote = FALSE)

# Periodogram: spec.pgram without taper, detrending or padding, demeaned; frequencies k/N for
# k = 1..floor(N/2); spec = |sum z_t exp(-i w t)|^2 / N. The cosine and sine coefficients are
# direct sums with the scale sqrt(2/N): A = s sum z_t cos(w t), B = s sum z_t sin(w t), t = 1..N.
series <- list(lh = as.numeric(lh), LakeHuron = as.numeric(LakeHuron),
               sunspot.year = as.numeric(sunspot.year),
               arma101 = as.numeric(arima.sim(list(ar = 0.6, ma = -0.3), n = 101)))
rows <- list()
for (name in names(series)) {
  x <- series[[name]]
  n <- length(x)
  p <- spec.pgram(x, taper = 0, detrend = FALSE, demean = TRUE, fast = FALSE, plot = FALSE)
  z <- x - mean(x)
  t <- seq_len(n)
  k <- seq_len(n %/% 2)
  w <- 2 * pi * k / n
  s <- sqrt(2 / n)
  a <- sapply(w, function(wk) s * sum(z * cos(wk * t)))
  b <- sapply(w, function(wk) s * sum(z * sin(wk * t)))
  rows[[length(rows) + 1]] <- data.frame(series = name, n = n, k = k, freq = fmt(p$freq),
    spec = fmt(p$spec), a = fmt(a), b = fmt(b))
}
write.csv(do.call(rbind, rows), "tests/data/periodogram_reference.csv", row.names = FALSE, quote = FALSE)

# The series themselves, so the tests need no R.
rows <- list()
for (name in names(series)) {
  x <- series[[name]]
  rows[[length(rows) + 1]] <- data.frame(series = name, t = seq_along(x), x = fmt(x))
}
write.csv(do.call(rbind, rows), "tests/data/periodogram_series.csv", row.names = FALSE, quote = FALSE)

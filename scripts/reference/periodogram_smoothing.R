# Reference tables for the Daniell filters of the smoothed periodogram (periodogram_smoothing
# tests). Run from the repository root:
#   Rscript scripts/reference/periodogram_smoothing.R
# Writes small CSV files under tests/data/ so that the tests need no R at run time.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

# Combined weights w(0..M) of a chain of Daniell filters: kernel()'s coefficients at lags 0..M.
# kernel() takes the orders in the given sequence; a 0 order is the identity filter.
order_cases <- list(1, c(1, 1), c(2, 3), c(1, 0, 2), c(0, 0), c(3, 1, 4, 1), c(7, 5))
weight_rows <- lapply(order_cases, function(m) {
    k <- kernel("daniell", m)
    data.frame(orders = paste(m, collapse = " "), weights = join(k$coef[0:k$m + 1]))
})
write.csv(do.call(rbind, weight_rows), out("daniell_weights_reference.csv"), row.names = FALSE,
          quote = FALSE)

# The periodogram at the Fourier frequencies 2 pi j / n, j = 1..n %/% 2, of the mean-corrected
# series, and its Daniell smoothing by kernapply, which gives only the interior ordinates
# M + 1 .. K - M (no reflection at the ends).
pg_cases <- list(list(nm = "lh", x = as.numeric(datasets::lh), m = c(1, 1)),
                 list(nm = "lh", x = as.numeric(datasets::lh), m = c(2, 0, 1)),
                 list(nm = "sunspot.year", x = as.numeric(datasets::sunspot.year), m = c(3, 3)),
                 list(nm = "sunspot.year", x = as.numeric(datasets::sunspot.year), m = 5))
pg_rows <- lapply(pg_cases, function(pc) {
    x <- pc$x
    n <- length(x)
    K <- n %/% 2
    I <- (Mod(fft(x - mean(x)))^2 / n)[2:(K + 1)]
    k <- kernel("daniell", pc$m)
    M <- k$m
    interior <- rep(NA, K)
    interior[(M + 1):(K - M)] <- kernapply(I, k)
    data.frame(series = pc$nm, n = n, orders = paste(pc$m, collapse = " "), j = 1:K,
               I = fmt(I), interior = fmt(interior))
})
write.csv(do.call(rbind, pg_rows), out("smoothed_periodogram_reference.csv"), row.names = FALSE,
          quote = FALSE)

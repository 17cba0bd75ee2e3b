# Reference residuals of fractionally integrated models (tests/unit/residuals_test.cpp).
# Run from the repository root:  Rscript scripts/reference/fractional_residuals.R
# Writes tests/data/fractional_residuals.csv with columns series, d, phi, t, value, residual.
#
# The autocovariances of (1-B)^d (1 - phi B) X = Z, unit noise variance, come from the closed form
# of fractionally integrated noise Y, gamma_Y(h) = Gamma(1-2d) Gamma(h+d) / (Gamma(d) Gamma(1-d)
# Gamma(h+1-d)), filtered by psi(j) = phi^j: gamma_X(h) = sum_{j,k} psi(j) psi(k) gamma_Y(h+j-k).
# The standardised one-step prediction errors are C^{-1} x with C the lower Cholesky factor of
# the covariance matrix of X(1..n), a computation independent of any recursion.

fmt <- function(v) trimws(formatC(v, digits = 17, format = "g"))
gamma_y <- function(h, d) {
  h <- abs(h)
  exp(lgamma(1 - 2 * d) - lgamma(1 - d) + lgamma(h + d) - lgamma(d) - lgamma(h + 1 - d)) *
    ifelse(d < 0 & h > 0, -1, 1)
}
acvf <- function(n, d, phi) {
  J <- 400
  psi <- phi^(0:J)
  sapply(0:(n - 1), function(h) {
    s <- 0
    for (j in 0:J) s <- s + psi[j + 1] * sum(psi * gamma_y(h + j - (0:J), d))
    s
  })
}
set.seed(20251210)
models <- list(list(name = "fi", d = 0.3, phi = 0, n = 60),
               list(name = "fi_neg", d = -0.2, phi = 0, n = 50),
               list(name = "farma", d = 0.25, phi = 0.5, n = 60))
rows <- list()
for (m in models) {
  g <- acvf(m$n, m$d, m$phi)
  G <- toeplitz(g)
  C <- t(chol(G))
  x <- as.numeric(C %*% rnorm(m$n)) + 0.3
  r <- as.numeric(forwardsolve(C, x))
  rows[[length(rows) + 1]] <- data.frame(series = m$name, d = fmt(m$d), phi = fmt(m$phi),
    t = seq_len(m$n), value = fmt(x), residual = fmt(r))
}
write.csv(do.call(rbind, rows), "tests/data/fractional_residuals.csv", row.names = FALSE, quote = FALSE)

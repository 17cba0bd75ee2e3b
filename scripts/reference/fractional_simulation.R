# Reference paths of fractionally integrated ARMA models for the simulation of a univariate
# project (univariate/arma_simulation.cpp). Run from the repository root:
#   Rscript scripts/reference/fractional_simulation.R
# Writes tests/data/fractional_simulation_reference.csv: for each model, the deviates z(1..m)
# (rnorm), the autocovariances gamma(0..m-1) for unit white-noise variance and the path
# x = sigma·t(chol(toeplitz(gamma))) %*% z, which has exactly the model's covariance.
#
# The model is X = psi(B)Y with Y fractionally integrated noise of parameter d and psi the ARMA
# impulse response psi(0..M) (truncated after M terms), so
# gamma_X(h) = sum_{j,k=0..M} psi(j) psi(k) gamma_Y(h + j - k), with
# gamma_Y(0) = Gamma(1-2d)/Gamma(1-d)^2 and rho_Y(h) = rho_Y(h-1)(h-1+d)/(h-d).

fmt <- function(v) trimws(formatC(v, digits = 17, format = "g"))

fi_acvf <- function(d, lags) {
  rho <- numeric(lags + 1)
  rho[1] <- 1
  for (h in seq_len(lags)) rho[h + 1] <- rho[h] * (h - 1 + d) / (h - d)
  gamma(1 - 2 * d) / gamma(1 - d)^2 * rho
}

farima_acvf <- function(d, ar, ma, M, lags) {
  psi <- c(1, if (length(ar) + length(ma) > 0) ARMAtoMA(ar, ma, M) else numeric(M))
  gy <- fi_acvf(d, lags + M)
  gyAt <- function(h) gy[abs(h) + 1]
  sapply(0:lags, function(h) {
    s <- 0
    for (j in 0:M) for (k in 0:M) s <- s + psi[j + 1] * psi[k + 1] * gyAt(h + j - k)
    s
  })
}

models <- list(
  fi = list(d = 0.3, ar = numeric(0), ma = numeric(0), M = 50, sigma2 = 2.5, seed = 11),
  arfima = list(d = 0.2, ar = 0.5, ma = 0.3, M = 50, sigma2 = 1.0, seed = 12),
  antipersistent = list(d = -0.3, ar = numeric(0), ma = 0.4, M = 30, sigma2 = 0.5, seed = 13)
)
m <- 60
rows <- list()
for (name in names(models)) {
  mod <- models[[name]]
  set.seed(mod$seed)
  z <- rnorm(m)
  g <- farima_acvf(mod$d, mod$ar, mod$ma, mod$M, m - 1)
  x <- sqrt(mod$sigma2) * as.numeric(t(chol(toeplitz(g))) %*% z)
  rows[[length(rows) + 1]] <- data.frame(model = name, d = fmt(mod$d),
    phi = paste(fmt(mod$ar), collapse = " "), theta = paste(fmt(mod$ma), collapse = " "),
    M = mod$M, sigma2 = fmt(mod$sigma2), t = 1:m, z = fmt(z), gamma = fmt(g), x = fmt(x))
}
write.csv(do.call(rbind, rows), "tests/data/fractional_simulation_reference.csv", row.names = FALSE,
  quote = FALSE)

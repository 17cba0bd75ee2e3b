# Reference tables for ospe's forecasts: memory shortening, subset autoregression and forecasts of
# USAccDeaths, computed here independently. Run from the repository root:
#   Rscript scripts/reference/arar_usaccdeaths.R
# Writes tests/data/arar_usaccdeaths_reference.csv (one named quantity a row, its values a
# space-separated list) and tests/data/arar_usaccdeaths_likelihood.csv (every lag triple of the
# shortened series with its Yule-Walker coefficients and likelihood value).
#
# The likelihood value of an AR(l3) model with the subset coefficients phi is
#   l = ln(sigma2) + (1/M) sum ln r(t),  sigma2 = (1/M) sum over t = 1..M of (S(t) - S^(t))^2 / r(t),
# which R's exact Gaussian likelihood gives as -2 logLik / M - ln(2 pi) - 1 when sigma2 is
# concentrated out: arima(S, order = c(l3, 0, 0), include.mean = FALSE, fixed = phi,
# transform.pars = FALSE), with the Rossignol start of the state covariance: the default start
# gives a negative variance for some of these sparse models, which are stationary.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

x <- as.numeric(datasets::USAccDeaths)
n <- length(x)

source(file.path("scripts", "reference", "arar_helpers.R"))

# The shortened, mean-corrected series and its autocorrelations at lags 0..26.
prepare <- function(psi) {
  D <- length(psi) - 1; M <- n - D
  S <- sapply(1:M, function(t) sum(psi * x[(t + D):t]))
  mean <- sum(S) / M
  S <- S - mean
  gamma <- sapply(0:26, function(k) sum(S[1:(M - k)] * S[(1 + k):M]) / M)
  list(D = D, M = M, S = S, mean = mean, gamma0 = gamma[1], rho = gamma / gamma[1])
}

yule_walker <- function(rho, lags) {
  R <- outer(lags, lags, function(i, j) rho[abs(i - j) + 1])
  as.numeric(solve(R, rho[lags + 1]))
}

likelihood <- function(S, lags, a) {
  phi <- numeric(lags[4]); phi[lags] <- a
  fit <- tryCatch(suppressWarnings(arima(S, order = c(lags[4], 0, 0), include.mean = FALSE, fixed = phi,
                        transform.pars = FALSE, SSinit = "Rossignol2011")),
                  error = function(e) NULL)
  if (is.null(fit)) return(NA)
  -2 * fit$loglik / length(S) - log(2 * pi) - 1
}

# Every triple 2 <= l1 < l2 < l3 <= K; the first smallest criterion wins.
search <- function(p, criterion) {
  K <- min(if (criterion == 2) 26 else 13, p$M - p$D - 1)
  best <- NULL; table <- NULL
  for (l1 in 2:(K - 2)) for (l2 in (l1 + 1):(K - 1)) for (l3 in (l2 + 1):K) {
    lags <- c(1, l1, l2, l3)
    a <- yule_walker(p$rho, lags)
    yw <- p$gamma0 * (1 - sum(a * p$rho[lags + 1]))
    if (criterion == 3) {
      ell <- likelihood(p$S, lags, a)
      value <- if (is.na(ell)) 1e30 else p$M * ell + 8
      table <- rbind(table, data.frame(l1 = l1, l2 = l2, l3 = l3, coef = join(a),
                                       ell = if (is.na(ell)) "" else fmt(ell)))
    } else value <- yw
    if (is.null(best) || value < best$value) best <- list(lags = lags, a = a, value = value, yw = yw)
  }
  best$K <- K
  best$table <- table
  best
}

forecast <- function(p, psi, best, h) {
  phi <- numeric(best$K + 1); phi[1] <- 1; phi[best$lags + 1] <- -best$a
  xi <- polymul(psi, phi)
  reach <- length(xi) - 1
  level <- p$mean * (1 - sum(best$a))
  K <- best$lags[4] + p$D
  fitted <- sapply((K + 1):n, function(t) level - sum(xi[2:(K + 1)] * x[(t - 1):(t - K)]))
  F <- c(x, numeric(h))
  for (T in (n + 1):(n + h)) F[T] <- level - sum(xi[2:(reach + 1)] * F[(T - 1):(T - reach)])
  list(xi = xi, rootMse = sqrt(sum((x[(K + 1):n] - fitted)^2) / (n - K)), F = F[(n + 1):(n + h)])
}

rows <- list()
add <- function(name, values) rows[[length(rows) + 1]] <<- data.frame(quantity = name, values = join(values))
add("series", x)
short <- shorten(x)
for (k in seq_along(short$passes)) add(paste0("pass", k), short$passes[[k]])
add("psi", short$psi)
likelihood_table <- NULL
for (way in c("shortened", "bypass")) {
  psi <- if (way == "shortened") short$psi else 1
  p <- prepare(psi)
  add(paste0(way, "_mean_length"), c(p$mean, p$M))
  for (criterion in 1:3) {
    best <- search(p, criterion)
    f <- forecast(p, psi, best, 12)
    key <- paste0(way, "_", criterion, "_")
    add(paste0(key, "lags"), best$lags)
    add(paste0(key, "coef"), best$a)
    add(paste0(key, "criterion"), best$value)
    add(paste0(key, "wn_variance"), best$yw)
    add(paste0(key, "whitening"), f$xi)
    add(paste0(key, "root_mse"), f$rootMse)
    add(paste0(key, "forecasts"), f$F)
    if (criterion == 3 && way == "shortened") likelihood_table <- best$table
  }
}
write.csv(do.call(rbind, rows), out("arar_usaccdeaths_reference.csv"), row.names = FALSE, quote = FALSE)
write.csv(likelihood_table, out("arar_usaccdeaths_likelihood.csv"), row.names = FALSE, quote = FALSE)

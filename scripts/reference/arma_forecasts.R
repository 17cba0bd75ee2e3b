# Reference tables for the ARMA forecasting command (tests/unit/forecasting_test.cpp).
# Run from the repository root:
#   Rscript scripts/reference/arma_forecasts.R
# Writes tests/data/arma_forecast_series.csv (lh and sunspot.year, centred) and
# tests/data/arma_forecast_reference.csv: for fixed models, predict()'s forecasts and standard
# errors with the fitted white-noise variance (S/n with every coefficient fixed), on the series
# itself (d = 0) and on the series taken as integrated once (d = 1: order c(p, 1, q)). Rows with
# series "air" are the airline model on log(AirPassengers) (orders (0,1,1)x(0,1,1)12), stored
# with theta13 = theta1 theta12 ("airline") or with theta13 = 0 for the relation to set
# ("airline_relation"). Rows with
# d = "frac" are a fractionally integrated MA(1) on lh: the predictors come from a Toeplitz solve
# of the exact autocovariances and se = sqrt(sum of the squared MA-infinity weights) (unit
# variance).

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) if (length(v) == 0) "" else paste(fmt(v), collapse = " ")

series <- list(lh = as.numeric(datasets::lh) - mean(datasets::lh),
               sunspot = as.numeric(datasets::sunspot.year) - mean(datasets::sunspot.year))
s_rows <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s_rows, out("arma_forecast_series.csv"), row.names = FALSE, quote = FALSE)

H <- 10
models <- list(
    list(id = "lh_ar2", s = "lh", ar = c(0.65, -0.06), ma = numeric(0)),
    list(id = "lh_ma2", s = "lh", ar = numeric(0), ma = c(0.6, 0.2)),
    list(id = "lh_arma21", s = "lh", ar = c(0.5, 0.1), ma = 0.3),
    list(id = "sun_ar2", s = "sunspot", ar = c(1.34, -0.65), ma = numeric(0)),
    list(id = "sun_ma2", s = "sunspot", ar = numeric(0), ma = c(1.0, 0.5)),
    list(id = "sun_arma21", s = "sunspot", ar = c(1.2, -0.5), ma = 0.2))

rows <- list()
for (m in models) {
    x <- series[[m$s]]
    p <- length(m$ar); q <- length(m$ma)
    for (d in 0:1) {
        fit <- arima(x, order = c(p, d, q), fixed = c(m$ar, m$ma), include.mean = FALSE,
                     transform.pars = FALSE, method = "ML")
        pr <- predict(fit, n.ahead = H)
        rows[[length(rows) + 1]] <- data.frame(id = m$id, series = m$s, p = p, q = q,
            coef = join(c(m$ar, m$ma)), d = d, h = 1:H, pred = fmt(as.numeric(pr$pred)),
            se = fmt(as.numeric(pr$se)), sigma2 = fmt(fit$sigma2))
    }
}

# The airline model, with and without its seasonal difference being the newest.
ap <- log(as.numeric(datasets::AirPassengers))
th1 <- -0.4; th12 <- -0.55
fit <- arima(ap, order = c(0, 1, 1), seasonal = list(order = c(0, 1, 1), period = 12),
             fixed = c(th1, th12), transform.pars = FALSE, method = "ML")
pr <- predict(fit, n.ahead = 24)
theta <- c(th1, rep(0, 10), th12, th1 * th12)
rows[[length(rows) + 1]] <- data.frame(id = "airline", series = "air", p = 0, q = 13,
    coef = join(theta), d = 1, h = 1:24, pred = fmt(as.numeric(pr$pred)),
    se = fmt(as.numeric(pr$se)), sigma2 = fmt(fit$sigma2))

# The airline model with theta13 left to the relation theta13 = theta1 theta12: R fits the
# product MA term itself. Its stored theta1 and theta12 alone (theta13 = 0) make an MA part with
# a root of modulus 0.9987, so the forecasts show whether the relation was applied first.
th1 <- -0.4; th12 <- -0.61
fit <- arima(ap, order = c(0, 1, 13), seasonal = list(order = c(0, 1, 0), period = 12),
             fixed = c(th1, rep(0, 10), th12, th1 * th12), transform.pars = FALSE, method = "ML")
pr <- predict(fit, n.ahead = 24)
rows[[length(rows) + 1]] <- data.frame(id = "airline_relation", series = "air", p = 0, q = 13,
    coef = join(c(th1, rep(0, 10), th12, 0)), d = 1, h = 1:24, pred = fmt(as.numeric(pr$pred)),
    se = fmt(as.numeric(pr$se)), sigma2 = fmt(fit$sigma2))

# Fractionally integrated MA(1) on lh: exact autocovariances, Toeplitz solves, psi-weights.
dfrac <- 0.3; th <- 0.4
x <- series$lh; n <- length(x); Hf <- 5
K <- n + Hf + 2
rho <- numeric(K + 1); rho[1] <- 1
for (k in 1:K) rho[k + 1] <- rho[k] * (k - 1 + dfrac) / (k - dfrac)
gy <- gamma(1 - 2 * dfrac) / gamma(1 - dfrac)^2 * rho          # gy[k + 1] = gamma_Y(k)
gY <- function(k) gy[abs(k) + 1]
gX <- function(k) (1 + th^2) * gY(k) + th * (gY(k - 1) + gY(k + 1))
G <- outer(1:n, 1:n, function(i, j) gX(i - j))
pred <- sapply(1:Hf, function(h) {
    a <- solve(G, gX(h + (0:(n - 1))))
    sum(a * rev(x))
})
pib <- numeric(Hf); pib[1] <- 1
for (j in 2:Hf) pib[j] <- pib[j - 1] * (j - 2 + dfrac) / (j - 1)
psi <- pib + th * c(0, pib[-Hf])
rows[[length(rows) + 1]] <- data.frame(id = "frac_ma1", series = "lh", p = 0, q = 1,
    coef = join(th), d = "frac", h = 1:Hf, pred = fmt(pred), se = fmt(sqrt(cumsum(psi^2))),
    sigma2 = fmt(1))

write.csv(do.call(rbind, rows), out("arma_forecast_reference.csv"), row.names = FALSE, quote = FALSE)

# Reference tables for the seasonal models of tests/unit/innovations_test.cpp,
# tests/unit/minimiser_ml_test.cpp and tests/unit/integrated_forecast_test.cpp.
# Run from the repository root:
#   Rscript scripts/reference/seasonal_models.R
# Writes:
#   tests/data/seasonal_series.csv: "airline", the monthly AirPassengers totals after the natural
#     logarithm, differencing at lag 12, differencing at lag 1 and subtracting the mean (n = 131);
#     "ma1_near", a simulated MA(1) with theta = -0.95 (n = 400).
#   tests/data/airline_fit_reference.csv: R's exact maximum likelihood fit of the airline model
#     (MA(1) x seasonal MA(1), period 12, no mean) to "airline": coefficients, -2 log-likelihood
#     (with the n log(2 pi) constant) and the white-noise variance.
#   tests/data/integrated_mse_reference.csv: for the airline model of log(AirPassengers) with
#     differencing at lags 1 and 12 and fixed coefficients, the h-step forecast variance over the
#     white-noise variance: R's predict (Kalman filter over the series, which conditions on the
#     finite sample) and the sum of the squared psi-weights of ARMAtoMA (the infinite past).

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)

y <- log(as.numeric(datasets::AirPassengers))
airline <- diff(diff(y, lag = 12))
airline <- airline - mean(airline)
set.seed(20240611)
ma1_near <- as.numeric(arima.sim(list(ma = -0.95), n = 400))
series <- list(airline = airline, ma1_near = ma1_near)
rows <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(rows, out("seasonal_series.csv"), row.names = FALSE, quote = FALSE)

fit <- arima(airline, order = c(0, 0, 1), seasonal = list(order = c(0, 0, 1), period = 12),
             include.mean = FALSE, method = "ML",
             optim.control = list(reltol = 1e-12, maxit = 1000))
write.csv(data.frame(theta1 = fmt(coef(fit)[["ma1"]]), theta12 = fmt(coef(fit)[["sma1"]]),
                     minus2loglik = fmt(-2 * fit$loglik), sigma2 = fmt(fit$sigma2)),
          out("airline_fit_reference.csv"), row.names = FALSE, quote = FALSE)

theta <- c(-0.4, -0.55)
h <- 24
fixed <- arima(ts(y, frequency = 12), order = c(0, 1, 1), seasonal = c(0, 1, 1),
               fixed = theta, transform.pars = FALSE)
ratio <- predict(fixed, n.ahead = h)$se^2 / fixed$sigma2
# (1 - B)(1 - B^12) as an autoregression: X(t) = X(t-1) + X(t-12) - X(t-13) + ...
psi <- c(1, ARMAtoMA(ar = c(1, rep(0, 10), 1, -1),
                     ma = c(theta[1], rep(0, 10), theta[2], theta[1] * theta[2]),
                     lag.max = h - 1))
write.csv(data.frame(theta1 = theta[1], theta12 = theta[2], h = seq_len(h),
                     predict = fmt(ratio), psi = fmt(psi), psi_sum = fmt(cumsum(psi^2))),
          out("integrated_mse_reference.csv"), row.names = FALSE, quote = FALSE)

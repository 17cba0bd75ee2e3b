# Reference values for the black-box scenario that walks the program's main road
# (tests/blackbox/scenario_test.cpp). Run from the repository root:
#   Rscript scripts/reference/scenario.R
# scenario_reference.csv: one row per value, name,k,value:
#   data_mean, data_variance (divisor n), data_se: AirPassengers' data report;
#   acf k, pacf k (k = 0..39; pacf 0 is not given), gamma0: acf(x, 40) and pacf of x, the series
#   after log, lag-12 and lag-1 differencing and subtracting the mean;
#   fisher_ratio, fisher_p: the largest periodogram ordinate of x over their mean, for the
#   ordinates at 2 pi j / n, j = 1..floor((n-1)/2), and Fisher's exact tail probability;
#   ma k (k = 1, 12, 13), aicc: arima(x, MA(1) x seasonal MA(1) of period 12, no mean, "ML"),
#   its coefficients as those of an MA(13) and AICC = -2 ln L + 2 (k + 1) n / (n - k - 2), k = 2;
#   forecast k (k = 1..24): that fit's predict on x, the mean of the differenced logs added back,
#   the two differences undone on the log scale, then exponentiated;
#   ljung_box, mcleod_li: Box.test(e, 20, "Ljung-Box") and the same on e^2, e the residuals of that
#   fit;
#   mv_order, mv_aicc: the minimum-AICC order of the multivariate Burg fit of R's Seatbelts
#   columns DriversKilled, front and rear, and its AICC (scripts/reference/var_common.R).
# scenario_seatbelts.csv: those three columns, one row per month.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
source(file.path("scripts", "reference", "var_common.R"))

rows <- list()
put <- function(name, k, value) rows[[length(rows) + 1]] <<- data.frame(name = name, k = k, value = fmt(value))

air <- as.numeric(datasets::AirPassengers)
n0 <- length(air)
put("data_mean", 0, mean(air))
put("data_variance", 0, mean((air - mean(air))^2))
acvf <- acf(air, lag.max = n0 - 1, type = "covariance", plot = FALSE, demean = TRUE)$acf[, 1, 1]
r <- floor(sqrt(n0))
h <- -(r - 1):(r - 1)
put("data_se", 0, sqrt(sum((1 - abs(h) / r) * acvf[abs(h) + 1]) / n0))

x <- diff(diff(log(air), lag = 12), lag = 1)
x <- x - mean(x)
n <- length(x)
a <- acf(x, lag.max = 40, plot = FALSE, demean = TRUE)$acf[, 1, 1]
for (k in 0:39) put("acf", k, a[k + 1])
p <- pacf(x, lag.max = 40, plot = FALSE)$acf[, 1, 1]
for (k in 1:39) put("pacf", k, p[k])
put("gamma0", 0, mean(x^2))

m <- floor((n - 1) / 2)
I <- Mod(fft(x))^2 / n
I <- I[2:(m + 1)]
g <- max(I) / sum(I)
j <- 1:floor(1 / g)
put("fisher_ratio", 0, max(I) / mean(I))
put("fisher_p", 0, sum((-1)^(j - 1) * choose(m, j) * (1 - j * g)^(m - 1)))

fit <- arima(x, order = c(0, 0, 1), seasonal = list(order = c(0, 0, 1), period = 12), include.mean = FALSE,
             method = "ML", optim.control = list(reltol = 1e-12))
theta <- coef(fit)
put("ma", 1, theta[1])
put("ma", 12, theta[2])
put("ma", 13, theta[1] * theta[2])
put("aicc", 0, -2 * fit$loglik + 2 * 3 * n / (n - 4))

d <- diff(diff(log(air), lag = 12), lag = 1)
y <- c(log(air), rep(NA, 24))
step <- as.numeric(predict(fit, n.ahead = 24)$pred) + mean(d)
for (h in 1:24) {
    t <- n0 + h
    y[t] <- step[h] + y[t - 1] + y[t - 12] - y[t - 13]
    put("forecast", h, exp(y[t]))
}

e <- as.numeric(residuals(fit))
put("ljung_box", 20, Box.test(e, lag = 20, type = "Ljung-Box")$statistic)
put("mcleod_li", 20, Box.test(e^2, lag = 20, type = "Ljung-Box")$statistic)

belts <- datasets::Seatbelts[, c("DriversKilled", "front", "rear")]
raw <- matrix(as.numeric(belts), ncol = 3)
fit <- burg(centre(raw), search_bound(nrow(raw), 3))
put("mv_order", 0, which.min(fit$aicc) - 1)
put("mv_aicc", 0, min(fit$aicc))

write.csv(do.call(rbind, rows), out("scenario_reference.csv"), row.names = FALSE, quote = FALSE)
write.csv(data.frame(DriversKilled = raw[, 1], front = raw[, 2], rear = raw[, 3]), out("scenario_seatbelts.csv"),
          row.names = FALSE, quote = FALSE)

# Reference values for the model ACF/PACF of the statistics views (univariate/statistics.cpp).
# Run from the repository root:  Rscript scripts/reference/model_acf.R
# Writes tests/data/model_acf_reference.csv: R's ARMAacf (autocorrelations at lags 0..40 and
# partial autocorrelations at lags 1..40, the PACF at lag 0 taken as 1).

fmt <- function(v) trimws(formatC(v, digits = 17, format = "g"))
models <- list(
  ar1 = list(ar = 0.7, ma = numeric(0)),
  ma1 = list(ar = numeric(0), ma = 0.5),
  arma21 = list(ar = c(0.5, -0.3), ma = 0.4),
  ma26 = list(ar = numeric(0), ma = rep(0.3, 26)),
  ar3 = list(ar = c(0.6, -0.2, 0.15), ma = numeric(0))
)
rows <- list()
for (name in names(models)) {
  m <- models[[name]]
  acf <- ARMAacf(ar = m$ar, ma = m$ma, lag.max = 40)
  pacf <- c(1, ARMAacf(ar = m$ar, ma = m$ma, lag.max = 40, pacf = TRUE))
  rows[[length(rows) + 1]] <- data.frame(model = name, phi = paste(fmt(m$ar), collapse = " "),
    theta = paste(fmt(m$ma), collapse = " "), lag = 0:40, acf = fmt(as.numeric(acf)),
    pacf = fmt(pacf))
}
write.csv(do.call(rbind, rows), "tests/data/model_acf_reference.csv", row.names = FALSE, quote = FALSE)

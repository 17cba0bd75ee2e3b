# Reference tables for the innovations likelihood tests (tests/unit/innovations_test.cpp).
# Run from the repository root:
#   Rscript scripts/reference/innovations.R
# For each model and series: the exact Gaussian likelihood of R's arima (Kalman filter, exact
# initial state covariance, all coefficients fixed, zero mean), its standardized residuals, and
# predict()'s forecasts with their mean squared errors.
# Reduced likelihood = -2 loglik / n - ln(2 pi) - 1 = ln(S/n) + L/n; sigma2 = S/n.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) if (length(v) == 0) "" else paste(fmt(v), collapse = " ")

set.seed(20240611)
sim <- function(ar, ma, n) as.numeric(arima.sim(list(ar = ar, ma = ma), n = n))
lh <- as.numeric(datasets::lh)
series <- list(
    lh = lh - mean(lh),
    s_ar3 = sim(c(0.4, -0.3, 0.2), numeric(0), 120),
    s_ma2 = sim(numeric(0), c(0.7, -0.2), 120),
    s_arma22 = sim(c(1.1, -0.4), c(-0.3, 0.2), 150),
    s_arma13 = sim(0.7, c(0.4, 0.3, -0.2), 100),
    s_ma1_near = sim(numeric(0), 0.95, 80),
    short6 = c(0.8, -1.3, 0.4, 1.9, -0.6, 0.2),
    short4 = c(0.8, -1.3, 0.4, 1.9))

models <- list(
    list(id = "ar1_lh", ar = 0.57, ma = numeric(0), s = "lh", h = 12),
    list(id = "ar3", ar = c(0.4, -0.3, 0.2), ma = numeric(0), s = "s_ar3", h = 8),
    list(id = "ma1_lh", ar = numeric(0), ma = 0.3, s = "lh", h = 6),
    list(id = "ma2", ar = numeric(0), ma = c(0.7, -0.2), s = "s_ma2", h = 6),
    list(id = "arma11_lh", ar = 0.6, ma = 0.2, s = "lh", h = 10),
    list(id = "arma22", ar = c(1.1, -0.4), ma = c(-0.3, 0.2), s = "s_arma22", h = 10),
    list(id = "arma13", ar = 0.7, ma = c(0.4, 0.3, -0.2), s = "s_arma13", h = 8),
    list(id = "arma31", ar = c(0.5, -0.2, 0.1), ma = 0.6, s = "s_arma22", h = 8),
    list(id = "ma1_near", ar = numeric(0), ma = 0.95, s = "s_ma1_near", h = 5),
    list(id = "ma1_noninv", ar = numeric(0), ma = 2, s = "s_ma1_near", h = 5),
    list(id = "ma2_short", ar = numeric(0), ma = c(0.9, 0.5), s = "short6", h = 5),
    list(id = "arma12_short", ar = 0.5, ma = c(0.8, 0.4), s = "short6", h = 5),
    # n = 2m: no step after the start-up rows; forecasts start from the rows of time 2m.
    list(id = "arma12_n2m", ar = 0.5, ma = c(0.8, 0.4), s = "short4", h = 4),
    list(id = "ma1_n2m", ar = numeric(0), ma = 0.7, s = "short4", h = 3))

s_rows <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s_rows, out("innovations_series.csv"), row.names = FALSE, quote = FALSE)

model_rows <- list()
value_rows <- list()
for (m in models) {
    x <- series[[m$s]]
    n <- length(x)
    p <- length(m$ar)
    q <- length(m$ma)
    fit <- arima(x, order = c(p, 0, q), include.mean = FALSE, method = "ML",
                 fixed = c(m$ar, m$ma), transform.pars = FALSE, SSinit = "Rossignol2011")
    redlik <- -2 * fit$loglik / n - log(2 * pi) - 1
    fc <- predict(fit, n.ahead = m$h)
    model_rows[[m$id]] <- data.frame(id = m$id, series = m$s, p = p, q = q,
                                     coef = join(c(m$ar, m$ma)), h = m$h,
                                     redlik = fmt(redlik), sigma2 = fmt(fit$sigma2))
    value_rows[[paste0(m$id, "r")]] <- data.frame(id = m$id, kind = "resid", k = 1:n,
                                                  value = fmt(as.numeric(residuals(fit))))
    value_rows[[paste0(m$id, "f")]] <- data.frame(id = m$id, kind = "fcst", k = 1:m$h,
                                                  value = fmt(as.numeric(fc$pred)))
    value_rows[[paste0(m$id, "m")]] <- data.frame(id = m$id, kind = "mse", k = 1:m$h,
                                                  value = fmt(as.numeric(fc$se)^2))
}
write.csv(do.call(rbind, model_rows), out("innovations_models.csv"), row.names = FALSE,
          quote = FALSE)
write.csv(do.call(rbind, value_rows), out("innovations_reference.csv"), row.names = FALSE,
          quote = FALSE)

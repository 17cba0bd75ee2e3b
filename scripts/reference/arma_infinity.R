# Reference table for the AR/MA infinity report: the first 50 MA-infinity weights of
# theta(B)/phi(B) and AR-infinity weights of phi(B)/theta(B), lags 0..49. Run from the
# repository root:
#   Rscript scripts/reference/arma_infinity.R
# Writes tests/data/arma_infinity_reference.csv. The model is phi(B)X = theta(B)Z with
# phi(z) = 1 - phi1 z - ..., theta(z) = 1 + theta1 z + ..., R's convention for ar and ma; the
# AR-infinity expansion is ARMAtoMA with ar = -theta and ma = -phi.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) if (length(v) == 0) "" else paste(fmt(v), collapse = " ")

models <- list(
    list(id = "ar1", ar = 0.6, ma = numeric(0)),
    list(id = "ma2", ar = numeric(0), ma = c(0.5, -0.3)),
    list(id = "arma21", ar = c(0.5, -0.25), ma = 0.4),
    list(id = "arma12", ar = -0.7, ma = c(0.3, 0.2)),
    list(id = "arma33", ar = c(0.2, 0.1, -0.3), ma = c(-0.4, 0.25, 0.1)),
    list(id = "ar5", ar = c(0.3, -0.2, 0.1, 0.15, -0.1), ma = numeric(0))
)

L <- 49
rows <- list()
for (m in models) {
    ma_inf <- c(1, ARMAtoMA(ar = m$ar, ma = m$ma, lag.max = L))
    ar_inf <- c(1, ARMAtoMA(ar = -m$ma, ma = -m$ar, lag.max = L))
    rows[[m$id]] <- data.frame(id = m$id, ar = join(m$ar), ma = join(m$ma), lag = 0:L,
                               ma_inf = fmt(ma_inf), ar_inf = fmt(ar_inf))
}
write.csv(do.call(rbind, rows), out("arma_infinity_reference.csv"), row.names = FALSE, quote = FALSE)

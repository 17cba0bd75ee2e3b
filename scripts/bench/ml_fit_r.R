# Times R's arima(method = "ML", include.mean = FALSE) fit of an ARMA(2,2) on the series of
# bench/ml_fit_bench.cpp.
#   Rscript scripts/bench/ml_fit_r.R SERIES_FILE
# SERIES_FILE: one value per line (written by scripts/bench/ml_fit_vs_r.sh).
args <- commandArgs(trailingOnly = TRUE)
x <- scan(args[1], quiet = TRUE)[1:1e5]
t <- system.time(fit <- arima(x, order = c(2, 0, 2), method = "ML", include.mean = FALSE))
cat(sprintf("R_arima_ML/%d  %.3f s  minus2loglik=%.10g  coef=%s\n", length(x), t[["elapsed"]],
            -2 * fit$loglik, paste(sprintf("%.6f", coef(fit)), collapse = " ")))

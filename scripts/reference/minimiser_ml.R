# Reference tables for the exact maximum likelihood fits of tests/unit/minimiser_ml_test.cpp.
# Run from the repository root:
#   Rscript scripts/reference/minimiser_ml.R
# Series (mean-corrected): lh, the differenced Nile and sunspot.year from R's datasets package.
# For each series and ARMA order: R's arima(method = "ML", include.mean = FALSE) coefficients and
# its -2 log-likelihood (with the n log(2 pi) constant). The differenced Nile's ARMA(2,2) is left
# out: R's optimum there has a non-invertible moving average, which the likelihood cannot tell
# from its invertible twin, so the coefficients are not comparable.
series <- list(lh = as.numeric(lh), nile_diff = diff(as.numeric(Nile)),
               sunspot = as.numeric(sunspot.year))
orders <- list(c(1, 0), c(2, 0), c(1, 1), c(2, 2))

values <- do.call(rbind, lapply(names(series), function(name) {
    x <- series[[name]] - mean(series[[name]])
    data.frame(series = name, t = seq_along(x), value = sprintf("%.17g", x))
}))
write.csv(values, "tests/data/ml_fit_series.csv", row.names = FALSE, quote = FALSE)

fits <- do.call(rbind, lapply(names(series), function(name) {
    x <- series[[name]] - mean(series[[name]])
    do.call(rbind, lapply(orders, function(o) {
        if (name == "nile_diff" && o[1] == 2 && o[2] == 2) return(NULL)
        fit <- arima(x, order = c(o[1], 0, o[2]), method = "ML", include.mean = FALSE,
                     optim.control = list(reltol = 1e-12, maxit = 1000))
        data.frame(series = name, p = o[1], q = o[2],
                   coef = paste(sprintf("%.10g", coef(fit)), collapse = " "),
                   minus2loglik = sprintf("%.12g", -2 * fit$loglik))
    }))
}))
write.csv(fits, "tests/data/ml_fit_reference.csv", row.names = FALSE, quote = FALSE)

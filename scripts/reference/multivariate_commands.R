# Reference tables for the multivariate AR commands (tests/unit/var_commands_test.cpp), on R's
# mdeaths and fdeaths as one table of two series. Run from the repository root:
#   Rscript scripts/reference/multivariate_commands.R
# mvar_forecast_reference.csv: for p = 0..3, h = 12 forecasts after the last observation,
#   predict(ar.yw(x, aic = FALSE, order.max = p), n.ahead = h)$pred (for p = 0 the series means,
#   which ar.yw does not fit); and for p = 2 the 10 forecasts after observation 60, from
#   predict(..., newdata = x[1:60, ]). One row per forecast: p, origin, t, the m values.
# mvar_residual_reference.csv: ar.yw(x, aic = FALSE, order.max = p)$resid for p = 1..3, the rows
#   t = p+1..n.
# mvar_report_*.txt: the estimates reports of the Yule-Walker and Burg commands for order 2 and
#   for the minimum-AICC search, written as the report window holds them (lines end in LF here;
#   the window's lines end in CR LF). The coefficients are ar.yw's (Yule-Walker) or those of the
#   multivariate Burg recursion computed with chol and solve; V, AICC and the search as for the
#   fits' own tables (scripts/reference/var_common.R).

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

source(file.path("scripts", "reference", "var_common.R"))

raw <- cbind(as.numeric(datasets::mdeaths), as.numeric(datasets::fdeaths))
n <- nrow(raw)
m <- ncol(raw)
means <- colMeans(raw)
x <- sweep(raw, 2, means)

# ---- forecasts and residuals

yw_fit <- function(p) ar.yw(raw, aic = FALSE, order.max = p, demean = TRUE)

forecast_rows <- list()
add_forecasts <- function(p, origin, pred) {
    for (k in seq_len(nrow(pred)))
        forecast_rows[[length(forecast_rows) + 1]] <<-
            data.frame(p = p, origin = origin, t = origin + k, values = join(pred[k, ]))
}
add_forecasts(0, n, matrix(means, 12, m, byrow = TRUE))
for (p in 1:3) add_forecasts(p, n, suppressWarnings(predict(yw_fit(p), n.ahead = 12))$pred)
add_forecasts(2, 60, suppressWarnings(predict(yw_fit(2), newdata = raw[1:60, ], n.ahead = 10))$pred)
write.csv(do.call(rbind, forecast_rows), out("mvar_forecast_reference.csv"), row.names = FALSE, quote = FALSE)

residual_rows <- list()
for (p in 1:3) {
    e <- yw_fit(p)$resid
    for (t in (p + 1):n)
        residual_rows[[length(residual_rows) + 1]] <- data.frame(p = p, t = t, values = join(e[t, ]))
}
write.csv(do.call(rbind, residual_rows), out("mvar_residual_reference.csv"), row.names = FALSE, quote = FALSE)

# ---- the fitted models behind the reports

bound <- search_bound(n, m)
yw_models <- lapply(0:bound, function(p) yw_model(raw, p))
yw_criteria <- sapply(0:bound, function(p) decomposed_aicc(x, yw_models, p))
burg_fit <- burg(x, bound)

# ---- the reports

cell <- function(v) {
    s <- sprintf("%.6f", v)
    if (nchar(s) > 14) paste0(" ", s) else formatC(s, width = 14)
}
block <- function(values, per) {
    lines <- character(0)
    for (start in seq(1, length(values), by = per))
        lines <- c(lines, paste0(sapply(values[start:min(length(values), start + per - 1)], cell), collapse = ""))
    c(lines, "")
}
report <- function(burg_report, search, p, phi, V, aicc) {
    constant <- means
    for (k in seq_len(p)) constant <- constant - as.numeric(phi[k, , ] %*% means)
    rule <- strrep("=", 40)
    lines <- c(rule, if (burg_report) "KELO::(Multivariate Burg Estimates)" else "KELO::(Multivariate Yule-Walker Estimates)",
               rule, "  ")
    if (search) lines <- c(lines, paste0("Optimal value of p = ", p))
    lines <- c(lines, "  ", " PHI(0)", block(constant, 1))
    for (k in seq_len(p)) lines <- c(lines, paste0(" PHI(", k, ")"), block(as.numeric(t(phi[k, , ])), m))
    lines <- c(lines, "  ", "  ", if (burg_report) "Burg White Noise Covariance Matrix, V" else "Y-W White Noise Covariance Matrix, V",
               block(as.numeric(V), m), "  ", paste0("AICC = ", sprintf("%.6f", aicc)))
    lines
}

yw_report <- function(search, p) report(FALSE, search, p, yw_models[[p + 1]]$phi, yw_models[[p + 1]]$V, yw_criteria[p + 1])
burg_report <- function(search, p)
    report(TRUE, search, p, as_lag_first(burg_fit$fwd[[p + 1]], m), burg_fit$Vf[[p + 1]], burg_fit$aicc[p + 1])

writeLines(yw_report(FALSE, 2), out("mvar_report_yw_p2.txt"))
writeLines(yw_report(TRUE, which.min(yw_criteria) - 1), out("mvar_report_yw_search.txt"))
writeLines(burg_report(FALSE, 2), out("mvar_report_burg_p2.txt"))
writeLines(burg_report(TRUE, which.min(burg_fit$aicc) - 1), out("mvar_report_burg_search.txt"))

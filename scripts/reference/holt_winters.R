# Reference tables for the Holt-Winters unit tests. Run from the repository root:
#   Rscript scripts/reference/holt_winters.R
# Writes tests/data/holt_winters_series.csv and tests/data/holt_winters_reference.csv.
#
# Our recursion starts the level-and-trend model at level x2, slope x2 - x1 with errors from
# t = 3, which is R's own default for gamma = FALSE. The seasonal recursion starts at
# t = d + 1 from level Y(d+1), slope (Y(d+1) - Y(1))/d and components
# S(i) = Y(i) - Y(1) - (i - 1)·slope, predicting from t = d + 2; R starts one step earlier, so
# it is given Y(2..n) with those start values, the components rotated to S(2..d), S(1).

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

set.seed(20240717)
n <- 80
sim_trend <- 20 + 0.3 * (1:n) + cumsum(rnorm(n, sd = 0.4)) + rnorm(n)
d6 <- 6
sim_season6 <- 5 + 0.1 * (1:72) + rep(c(3, 1, -2, -4, 0, 2), length.out = 72) + rnorm(72, sd = 0.6)
series <- list(LakeHuron = as.numeric(datasets::LakeHuron),
               Nile = as.numeric(datasets::Nile),
               sim_trend = sim_trend,
               UKgas = as.numeric(datasets::UKgas),
               nottem = as.numeric(datasets::nottem),
               sim_season6 = sim_season6)
s <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(s, out("holt_winters_series.csv"), row.names = FALSE, quote = FALSE)

h <- 7
rows <- list()
add <- function(...) rows[[length(rows) + 1]] <<- data.frame(...)

plain <- function(nm, alpha = NULL, beta = NULL) {
    x <- series[[nm]]
    fit <- HoltWinters(x, alpha = alpha, beta = beta, gamma = FALSE)
    kind <- if (is.null(alpha)) "plain_optimised" else "plain"
    add(kind = kind, series = nm, d = 0, alpha = fmt(fit$alpha), beta = fmt(fit$beta),
        gamma = 0, sse = fmt(fit$SSE), level = fmt(fit$coefficients[["a"]]),
        trend = fmt(fit$coefficients[["b"]]), forecasts = join(predict(fit, h)))
}

seasonal <- function(nm, d, alpha = NULL, beta = NULL, gamma = NULL) {
    Y <- series[[nm]]
    slope <- (Y[d + 1] - Y[1]) / d
    S <- Y[1:d] - Y[1] - (0:(d - 1)) * slope
    x <- ts(Y[-1], frequency = d)
    fit <- HoltWinters(x, alpha = alpha, beta = beta, gamma = gamma, seasonal = "additive",
                       l.start = Y[d + 1], b.start = slope, s.start = c(S[-1], S[1]))
    kind <- if (is.null(alpha)) "seasonal_optimised" else "seasonal"
    hs <- d + 3  # longer than one period
    add(kind = kind, series = nm, d = d, alpha = fmt(fit$alpha), beta = fmt(fit$beta),
        gamma = fmt(fit$gamma), sse = fmt(fit$SSE), level = fmt(fit$coefficients[["a"]]),
        trend = fmt(fit$coefficients[["b"]]), forecasts = join(predict(fit, hs)))
}

plain("LakeHuron", 0.3, 0.1)
plain("LakeHuron", 1, 0)
plain("Nile", 0.2, 0.05)
plain("sim_trend", 0.6, 0.3)
plain("sim_trend", 0.1, 1)
for (nm in c("LakeHuron", "Nile", "sim_trend")) plain(nm)

seasonal("UKgas", 4, 0.3, 0.1, 0.4)
seasonal("nottem", 12, 0.2, 0.05, 0.3)
seasonal("sim_season6", d6, 0.5, 0.2, 0.1)
seasonal("sim_season6", d6, 1, 0, 1)
seasonal("UKgas", 4)
seasonal("nottem", 12)
seasonal("sim_season6", d6)

write.csv(do.call(rbind, rows), out("holt_winters_reference.csv"), row.names = FALSE,
          quote = FALSE)

# Reference values for the console programs molda and drav on R's mdeaths and fdeaths
# (tests/console/var_fit_test.cpp, tests/console/var_programs_test.cpp). Run from the repository
# root:
#   Rscript scripts/reference/molda_drav.R
# mdeaths_fdeaths.txt: the data file the programs read, one line per month: mdeaths fdeaths.
# molda_drav_reference.csv, columns run,item,a,b,c,value, for the series differenced at lag 12
# (n' = 60), the order p = 2 and h = 5 forecasts:
#   run molda  (m = 2): ar.yw(aic = FALSE, order.max = 2, demean = TRUE), V = var.pred (n' - m(p+1))/n',
#              the criterion by the prediction-error decomposition of var_common.R;
#   run drav   (m = 2) and drav1 (m = 1, mdeaths): the Burg recursion of var_common.R, whose
#              reflection coefficient for m = 1 is sum(e b) / sqrt(sum(e^2) sum(b^2)), with its
#              criterion taking 2 pi as drav does (6.2831855);
#   items: mean, sd (a = component) of the differenced series; phi (a = lag, b = row, c = column);
#   V (a, b); aicc; forecast (a = step, b = component): the differenced forecast plus the mean
#   (molda's checked against predict()); mse (a = step, b, c) from the psi matrices;
#   orig_forecast (a = step, b) by inverse differencing; orig_mse (a = step, b, c) from the psi
#   matrices of phi(z)(1 - z^12); resid (a = time, b = component) for t = p+1..n';
#   search_aicc (a = order) for orders 0..pmax-1 and search_best (the lowest order of least AICC).

source(file.path("scripts", "reference", "var_common.R"))
out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)

twopi_single <- 6.2831855

raw <- cbind(as.numeric(datasets::mdeaths), as.numeric(datasets::fdeaths))
writeLines(sprintf("%d %d", raw[, 1], raw[, 2]), out("mdeaths_fdeaths.txt"))

lag <- 12
p <- 2
h <- 5

rows <- list()
add <- function(run, item, values, a = NA, b = NA, c = NA) {
    rows[[length(rows) + 1]] <<- data.frame(run = run, item = item, a = a, b = b, c = c, value = fmt(values))
}
add_matrix <- function(run, item, M, a = NA) {
    for (i in seq_len(nrow(M))) for (j in seq_len(ncol(M)))
        if (is.na(a)) add(run, item, M[i, j], i, j) else add(run, item, M[i, j], a, i, j)
}

# psi(1) = I, psi(s) = sum_j phi(j) psi(s - j); phi is a list of m x m matrices.
psi_matrices <- function(phi, m, count) {
    psi <- list(diag(m))
    for (s in seq_len(count - 1) + 1) {
        acc <- matrix(0, m, m)
        for (j in seq_len(min(s - 1, length(phi)))) acc <- acc + phi[[j]] %*% psi[[s - j]]
        psi[[s]] <- acc
    }
    psi
}
mse_matrices <- function(psi, V) {
    total <- matrix(0, nrow(V), ncol(V))
    lapply(seq_along(psi), function(i) {
        total <<- total + psi[[i]] %*% V %*% t(psi[[i]])
        total
    })
}
# The coefficients of phi(z)(1 - z^lag) written as I - sum phi*(k) z^k.
seasonal_operator <- function(phi, m, lag) {
    p <- length(phi)
    star <- lapply(seq_len(p + lag), function(k) matrix(0, m, m))
    for (k in seq_len(p)) star[[k]] <- star[[k]] + phi[[k]]
    star[[lag]] <- star[[lag]] + diag(m)
    for (k in seq_len(p)) star[[k + lag]] <- star[[k + lag]] - phi[[k]]
    star
}
errors_at <- function(y, phi, t) {
    e <- y[t, ]
    for (j in seq_along(phi)) e <- e - phi[[j]] %*% y[t - j, ]
    as.numeric(e)
}
# The criteria as drav takes 2 pi.
drav_aicc <- function(aicc, n, m) ifelse(aicc == 1e20, aicc, aicc + n * m * (log(twopi_single) - log(twopi10)))
# Lag-first coefficient arrays as lists of m x m matrices.
as_list <- function(phi, m) lapply(seq_len(dim(phi)[1]), function(j) matrix(phi[j, , ], m, m))

# What both programs report for one model of the differenced series y (n' x m), given the raw x.
report <- function(run, x, y, phi, V) {
    m <- ncol(y)
    n <- nrow(x)
    np <- nrow(y)
    mu <- colMeans(y)
    yc <- sweep(y, 2, mu)
    for (j in seq_len(m)) {
        add(run, "mean", mu[j], j)
        add(run, "sd", sqrt(mean(yc[, j]^2)), j)
    }
    for (k in seq_along(phi)) add_matrix(run, "phi", phi[[k]], k)
    add_matrix(run, "V", V)
    for (t in (length(phi) + 1):np) {
        e <- errors_at(yc, phi, t)
        for (j in seq_len(m)) add(run, "resid", e[j], t, j)
    }
    ext <- rbind(yc, matrix(0, h, m))
    for (i in seq_len(h)) {
        f <- numeric(m)
        for (j in seq_along(phi)) f <- f + phi[[j]] %*% ext[np + i - j, ]
        ext[np + i, ] <- f
    }
    forecast <- sweep(ext[np + seq_len(h), , drop = FALSE], 2, mu, "+")
    orig <- rbind(x, matrix(0, h, m))
    for (i in seq_len(h)) orig[n + i, ] <- forecast[i, ] + orig[n + i - lag, ]
    mse <- mse_matrices(psi_matrices(phi, m, h), V)
    orig_mse <- mse_matrices(psi_matrices(seasonal_operator(phi, m, lag), m, h), V)
    for (i in seq_len(h)) {
        for (j in seq_len(m)) {
            add(run, "forecast", forecast[i, j], i, j)
            add(run, "orig_forecast", orig[n + i, j], i, j)
        }
        add_matrix(run, "mse", mse[[i]], i)
        add_matrix(run, "orig_mse", orig_mse[[i]], i)
    }
    forecast
}

search_rows <- function(run, aicc) {
    for (k in seq_along(aicc)) add(run, "search_aicc", aicc[k], k - 1)
    add(run, "search_best", which.min(aicc) - 1)
}
pmax_of <- function(np, m) min(21, (np * m - 2) %/% (m * m))

# molda: Whittle's recursion (ar.yw) on the lag-12 differences of both series.
y <- raw[(lag + 1):nrow(raw), , drop = FALSE] - raw[1:(nrow(raw) - lag), , drop = FALSE]
np <- nrow(y)
m <- ncol(y)
model <- yw_model(y, p)
fit <- ar.yw(y, aic = FALSE, order.max = p, demean = TRUE)
forecast <- report("molda", raw, y, as_list(model$phi, m), model$V)
pred <- predict(fit, n.ahead = h, newdata = y, se.fit = FALSE)
stopifnot(max(abs(pred - forecast)) < 1e-9 * max(abs(forecast)))
stopifnot(max(abs(fit$resid[(p + 1):np, ] - sweep(y, 2, fit$x.mean)[(p + 1):np, ] +
                  sweep(y, 2, fit$x.mean)[p:(np - 1), ] %*% t(model$phi[1, , ]) +
                  sweep(y, 2, fit$x.mean)[(p - 1):(np - 2), ] %*% t(model$phi[2, , ]))) < 1e-8)
yc <- sweep(y, 2, colMeans(y))
models <- lapply(0:(pmax_of(np, m) - 1), function(k) yw_model(y, k))
aicc <- sapply(seq_along(models) - 1, function(k) decomposed_aicc(yc, models, k))
add("molda", "aicc", aicc[p + 1])
search_rows("molda", aicc)

# drav: the Burg recursion, for both series and for mdeaths alone.
for (run in c("drav", "drav1")) {
    x <- if (run == "drav") raw else raw[, 1, drop = FALSE]
    y <- x[(lag + 1):nrow(x), , drop = FALSE] - x[1:(nrow(x) - lag), , drop = FALSE]
    m <- ncol(y)
    yc <- sweep(y, 2, colMeans(y))
    fit <- burg(yc, pmax_of(np, m) - 1)
    report(run, x, y, fit$fwd[[p + 1]], fit$Vf[[p + 1]])
    aicc <- drav_aicc(fit$aicc, np, m)
    add(run, "aicc", aicc[p + 1])
    search_rows(run, aicc)
}

write.csv(do.call(rbind, rows), out("molda_drav_reference.csv"), row.names = FALSE, quote = FALSE,
          na = "")

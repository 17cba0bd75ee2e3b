# Helpers shared by the randomness reference scripts: the minimum-AICC Yule-Walker order by a
# separate implementation of the exact AR likelihood (Toeplitz solve with solve(), innovations of
# the fits of each order), and the counts of the turning-point, difference-sign and rank tests.

aicc_order <- function(x, h) {
    n <- length(x)
    P <- min(h, 26, n - 3)
    s0 <- sum(x^2) / n
    rho <- acf(x, lag.max = h, plot = FALSE, demean = TRUE)$acf[-1, 1, 1]
    best <- n * (log(s0) + 1) + 2 * n / (n - 2)
    order <- 0
    if (P < 1) return(order)
    fits <- list()
    v <- numeric(P)
    for (p in 1:P) {
        R <- toeplitz(c(1, rho)[1:p])
        fits[[p]] <- solve(R, rho[1:p])
        v[p] <- s0 * (1 - sum(fits[[p]] * rho[1:p]))
        D <- log(s0) + x[1]^2 / s0
        for (t in 2:n) {
            k <- min(t - 1, p)
            e <- x[t] - sum(fits[[k]] * x[(t - 1):(t - k)])
            D <- D + log(v[k]) + e^2 / v[k]
        }
        a <- D + 2 * (p + 1) * n / (n - p - 2)
        if (best > a) { best <- a; order <- p }
    }
    order
}

count_tests <- function(x) {
    n <- length(x)
    i <- 2:(n - 1)
    tp <- sum((x[i - 1] < x[i] & x[i] > x[i + 1]) | (x[i - 1] > x[i] & x[i] < x[i + 1]))
    ds <- sum(diff(x) > 0)
    rk <- sum(outer(seq_len(n), seq_len(n), "<") & outer(x, x, "<"))
    c(tp, ds, rk)
}

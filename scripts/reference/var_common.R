# Shared by the reference scripts of the vector autoregressions (multivariate_ar.R and
# multivariate_commands.R): the order bound of the search, the criterion's penalty, one-step
# errors, Yule-Walker models as ar.yw gives them with their exact-likelihood criterion, and the
# multivariate Burg recursion computed directly with chol and solve.

ln2pi7 <- 1.837877
twopi10 <- 6.283185307

centre <- function(x) sweep(x, 2, colMeans(x))
search_bound <- function(n, m) {
    l <- 0
    while (l < 20 && (l + 1) * m * m + 2 < n * m) l <- l + 1
    l
}
penalty <- function(p, n, m) {
    k <- p * m * m
    (2 * k + 2) / (1 - (k + 2) / (n * m))
}
# phi as an array p x m x m (lag first); e(t) = x(t) - sum phi[j,,] x(t-j) for t > p.
errors <- function(x, phi, t) {
    e <- x[t, ]
    for (j in seq_len(dim(phi)[1])) e <- e - phi[j, , ] %*% x[t - j, ]
    as.numeric(e)
}
as_lag_first <- function(mats, m) {
    p <- length(mats)
    a <- array(0, c(p, m, m))
    for (j in seq_len(p)) a[j, , ] <- mats[[j]]
    a
}

# The Yule-Walker model of order p as ar.yw gives it for the raw series: list(phi, V).
yw_model <- function(raw, p) {
    x <- centre(raw)
    n <- nrow(x)
    m <- ncol(x)
    if (p == 0) return(list(phi = array(0, c(0, m, m)), V = crossprod(x) / n))
    fit <- ar.yw(raw, aic = FALSE, order.max = p, demean = TRUE)
    phi <- array(fit$ar, c(p, m, m))
    # V = Gamma(0) - sum phi(j) Gamma(j)', which var.pred (n - m(p+1))/n equals while that is
    # defined.
    gam <- acf(raw, type = "covariance", lag.max = p, plot = FALSE, demean = TRUE)$acf
    V <- matrix(gam[1, , ], m, m)
    for (j in 1:p) V <- V - matrix(phi[j, , ], m, m) %*% t(matrix(gam[j + 1, , ], m, m))
    if (n > m * (p + 1))
        stopifnot(max(abs(V - matrix(fit$var.pred, m, m) * (n - m * (p + 1)) / n)) < 1e-10 * max(abs(V)))
    list(phi = phi, V = V)
}

# Prediction-error decomposition of -2 ln L of order p: observation k+1 (k < p) predicted by the
# order-k model, the later ones by the order-p model.
decomposed_aicc <- function(x, models, p) {
    n <- nrow(x)
    m <- ncol(x)
    if (n * m <= p * m * m + 2) return(1e20)
    total <- n * m * ln2pi7
    term <- function(model, t) {
        e <- errors(x, model$phi, t)
        as.numeric(determinant(model$V)$modulus) + sum(e * solve(model$V, e))
    }
    for (k in seq_len(p) - 1) total <- total + term(models[[k + 1]], k + 1)
    for (t in (p + 1):n) total <- total + term(models[[p + 1]], t)
    total + penalty(p, n, m)
}

# The Burg recursion: partial matrices and error covariances of orders 1..pmax, the coefficient
# sets of every order and the criterion of each.
burg <- function(x, pmax) {
    n <- nrow(x)
    m <- ncol(x)
    e <- x
    b <- x
    V0 <- crossprod(x) / n
    Vf <- list(V0)
    Vb <- list(V0)
    fwd <- list(list())
    bwd <- list(list())
    aicc <- n * log(det(V0)) + 2 / (1 - 2 / (n * m)) + n * m * (1 + log(twopi10))
    for (p in seq_len(pmax)) {
        s <- seq_len(n - p)
        E <- e[s + p, , drop = FALSE]
        B <- b[s, , drop = FALSE]
        Sfb <- crossprod(E, B)
        Sff <- crossprod(E)
        Sbb <- crossprod(B)
        Lf <- t(chol(Sff))
        Lb <- t(chol(Sbb))
        P <- solve(Lf, Sfb) %*% t(solve(Lb))
        if (m == 1) stopifnot(abs(P - Sfb / sqrt(Sff * Sbb)) < 1e-12)
        Cf <- t(chol(Vf[[p]]))
        Cb <- t(chol(Vb[[p]]))
        F <- Cf %*% P
        G <- Cb %*% t(P)
        Ap <- F %*% solve(Cb)
        Bp <- G %*% solve(Cf)
        Vf[[p + 1]] <- Vf[[p]] - F %*% t(F)
        Vb[[p + 1]] <- Vb[[p]] - G %*% t(G)
        e[s + p, ] <- E - B %*% t(Ap)
        b[s, ] <- B - E %*% t(Bp)
        prevF <- fwd[[p]]
        prevB <- bwd[[p]]
        newF <- list()
        newB <- list()
        for (j in seq_len(p - 1)) {
            newF[[j]] <- prevF[[j]] - Ap %*% prevB[[p - j]]
            newB[[j]] <- prevB[[j]] - Bp %*% prevF[[p - j]]
        }
        newF[[p]] <- Ap
        newB[[p]] <- Bp
        fwd[[p + 1]] <- newF
        bwd[[p + 1]] <- newB
        # The forward errors of order p are those of its coefficient set.
        phi <- as_lag_first(newF, m)
        stopifnot(max(abs(e[n, ] - errors(x, phi, n))) < 1e-8 * max(abs(x)))
        d <- det(Vf[[p + 1]])
        k <- p * m * m
        aicc[p + 1] <- if (n * m <= k + 2) 1e20 else
            n * log(d) + (2 * k + 2) / (1 - (k + 2) / (m * n)) + m * n * (1 + log(twopi10))
    }
    list(Vf = Vf, fwd = fwd, aicc = aicc)
}

# Helpers shared by the ARAR reference scripts: polynomial product and the memory shortening of
# Brockwell and Davis, Introduction to Time Series and Forecasting, section 9.1, computed here
# independently.

polymul <- function(u, v) {
  w <- numeric(length(u) + length(v) - 1)
  for (i in seq_along(u)) w[i:(i + length(v) - 1)] <- w[i:(i + length(v) - 1)] + u[i] * v
  w
}

# Up to three filters (one for n < 35, two for n < 50): a lag-tau filter when its regression
# explains the series well (Err <= 8/m) or has a coefficient of at least 0.93 at tau >= 3, the
# least-squares AR(2) filter when the coefficient is at least 0.93 at tau <= 2; otherwise the
# memory is short and shortening stops. Each pass gives its best lag, coefficient and Err
# (passes) and what it did (actions: 0 stop, 1 lag-tau filter, 2 AR(2) filter).
shorten <- function(x) {
  n <- length(x)
  y <- x; m <- n
  count <- if (n < 35) 2 else if (n < 50) 1 else 0
  psi <- 1; passes <- list(); actions <- integer(0)
  while (count < 3) {
    best <- NULL
    for (tau in 1:15) {
      a <- y[1:(m - tau)]; b <- y[(1 + tau):m]
      phi <- sum(a * b) / sum(a^2)
      err <- sum((b - phi * a)^2) / sum(b^2)
      if (is.null(best) || err < best$err) best <- list(tau = tau, phi = phi, err = err)
    }
    passes[[length(passes) + 1]] <- c(best$tau, best$phi, best$err)
    if (best$err <= 8 / m || (best$tau >= 3 && best$phi >= 0.93)) {
      f <- c(1, rep(0, best$tau - 1), -best$phi)
      actions <- c(actions, 1L)
    } else if (best$phi >= 0.93) {
      t <- 3:m
      X <- cbind(y[t - 1], y[t - 2])
      f <- c(1, -as.numeric(solve(crossprod(X), crossprod(X, y[t]))))
      actions <- c(actions, 2L)
    } else {
      actions <- c(actions, 0L)
      break
    }
    lag <- length(f) - 1
    y <- sapply(1:(m - lag), function(t) sum(f * y[(t + lag):t]))
    m <- m - lag
    psi <- polymul(psi, f)
    count <- count + 1
  }
  list(psi = psi, passes = passes, actions = actions)
}

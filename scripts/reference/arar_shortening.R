# Reference table for the decisions of the ARAR memory shortening near each of its thresholds
# (tests/unit/arar_test.cpp). Run from the repository root:
#   Rscript scripts/reference/arar_shortening.R
# Writes tests/data/arar_shortening_reference.csv: for each series, every pass's best lag, its
# coefficient b and relative error Err, what the pass did (0 stop, 1 lag-tau filter, 2 AR(2)
# filter) and the shortening polynomial psi, from the algorithm in arar_helpers.R.
#
# The series are simulated and tuned so that one decision lies within 0.2% of its threshold, on
# either side: the filter count of n = 34, 35, 49 and 50; Err against 8/m on the first pass
# (m = n) and on the second (m = n - 1); b against 0.93 at lags 1 and 2 (AR(2) filter) and 3 and
# 4 (lag filter) with Err well above 8/m. Others have exact arithmetic, integer series whose
# sums decide exactly on the threshold: Err = 8/m with b = 1/2 (shortened), b = 0.93 at lags 1
# and 4 (long memory), and a period-4 series whose lags 4, 8 and 12 tie at Err = 0 (the
# smallest lag wins). The last has period 16, a lag beyond the search.

source(file.path("scripts", "reference", "arar_helpers.R"))
out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")
margin <- 0.002

rows <- list()
add <- function(id, x, check = NULL) {
  s <- shorten(x)
  if (!is.null(check)) stopifnot(check(s))
  passes <- do.call(rbind, s$passes)
  rows[[length(rows) + 1]] <<- data.frame(id = id, series = join(x), taus = join(passes[, 1]),
                                          b = join(passes[, 2]), err = join(passes[, 3]),
                                          actions = join(s$actions), psi = join(s$psi))
}
# The value of `target` at which f(s) = target, for f increasing or decreasing on [lo, hi].
tune <- function(f, target, lo, hi) uniroot(function(s) f(s) - target, c(lo, hi), tol = 1e-13)$root
pass <- function(x, k) shorten(x)$passes[[k]]

# Thrice-integrated noise with drift: every pass would filter, so the count decides.
set.seed(20260115)
drift <- cumsum(cumsum(cumsum(rnorm(50, mean = 1))))
for (n in c(34, 35, 49, 50)) {
  allowed <- if (n < 35) 1 else if (n < 50) 2 else 3
  add(paste0("filter count n=", n), drift[1:n],
      function(s) length(s$actions) == allowed && all(s$actions == 1))
}

# Err against 8/m with b < 0.93: a geometric decay with noise of level s; on the second pass
# after a first lag-1 filter of its cumulative sum.
e <- rnorm(60)
decay <- function(s) 10 * 0.8^(0:59) + s * e
for (side in c(-1, 1)) {
  target <- 8 / 60 * (1 + side * margin)
  s <- tune(function(s) pass(decay(s), 1)[3], target, 0.01, 3)
  add(paste0("Err ", if (side < 0) "below" else "above", " 8/m on the first pass"), decay(s),
      function(s) s$passes[[1]][2] < 0.93 && s$actions[1] == (if (side < 0) 1 else 0))
  target <- 8 / 59 * (1 + side * margin)
  s <- tune(function(s) pass(cumsum(decay(s)), 2)[3], target, 0.01, 3)
  add(paste0("Err ", if (side < 0) "below" else "above", " 8/m on the second pass"), cumsum(decay(s)),
      function(s) s$actions[1] == 1 && s$passes[[2]][2] < 0.93 &&
        s$actions[2] == (if (side < 0) 1 else 0))
}

# b against 0.93 at lag tau: x(t) = phi·x(t - tau) + e(t), phi tuned.
e <- rnorm(200)
seasonal <- function(phi, tau) {
  x <- e
  for (t in (tau + 1):200) x[t] <- phi * x[t - tau] + e[t]
  x
}
for (tau in 1:4) for (side in c(-1, 1)) {
  target <- 0.93 * (1 + side * margin)
  phi <- tune(function(phi) pass(seasonal(phi, tau), 1)[2], target, 0.8, 0.99)
  action <- if (side < 0) 0 else if (tau <= 2) 2 else 1
  add(paste0("b ", if (side < 0) "below" else "above", " 0.93 at lag ", tau), seasonal(phi, tau),
      function(s) s$passes[[1]][1] == tau && s$passes[[1]][3] > 8 / 200 && s$actions[1] == action)
}

# Err exactly 8/m: y = (p, M, q), n = 32, with M an integer AR(1) path of coefficient 1/2 and
# p, q solving 2·sum y(t)y(t+1) = sum y(t)^2 over t = 1..31 (b(1) = 1/2) and
# 3·sum y(t)^2 over t = 2..32 = sum y(t)^2 over t = 1..31 (Err(1) = 1 - b(1)^2·3 = 1/4 = 8/32):
# with S = sum M^2, P = sum M(t)M(t+1), these are p = (3S + 3q^2 - 2P - 2M(30)q)/(2M(1)) and
# p^2 = 2S + 3q^2. Every sum is an integer and every residual a half integer, so no rounding
# enters.
exact_err <- function() {
  repeat {
    M <- numeric(30); v <- sample(-40:40, 1)
    for (t in 1:30) { M[t] <- v; v <- round(0.5 * v + rnorm(1, sd = 3)) }
    S <- sum(M^2); P <- sum(M[-1] * M[-30])
    if (M[1] == 0) next
    for (q in -30:30) {
      num <- 3 * S + 3 * q^2 - 2 * P - 2 * M[30] * q
      if (num %% (2 * M[1]) != 0) next
      p <- num / (2 * M[1])
      if (p^2 != 2 * S + 3 * q^2) next
      y <- c(p, M, q)
      first <- shorten(y)$passes[[1]]
      if (first[1] == 1) return(y)
    }
  }
}
add("Err exactly 8/m", exact_err(),
    function(s) s$passes[[1]][2] == 0.5 && s$passes[[1]][3] == 8 / 32 && s$actions[1] == 1)

# b exactly 0.93 at lag tau: an integer path of x(t) = 0.93·x(t - tau) + e(t), rounded, whose
# last value q makes 100·sum y(t)y(t+tau) = 93·sum y(t)^2 (t = 1..n - tau), so that b(tau) is
# the double nearest 0.93 (integer sums, one division).
exact_b <- function(tau, n) {
  repeat {
    y <- sample(-9:9, tau, replace = TRUE)
    for (t in (tau + 1):(n - 1)) y[t] <- round(0.93 * y[t - tau] + rnorm(1, sd = 4))
    A <- sum(y[1:(n - tau)]^2)
    C0 <- sum(y[1:(n - tau - 1)] * y[(1 + tau):(n - 1)])
    w <- y[n - tau]
    num <- 93 * A - 100 * C0
    if (w == 0 || num %% (100 * w) != 0 || abs(num / (100 * w)) > 40) next
    y[n] <- num / (100 * w)
    first <- shorten(y)$passes[[1]]
    if (first[1] == tau && first[3] > 1.5 * 8 / n) return(y)
  }
}
for (tau in c(1, 4))
  add(paste0("b exactly 0.93 at lag ", tau), exact_b(tau, 60),
      function(s) s$passes[[1]][2] == 0.93 && s$actions[1] == (if (tau <= 2) 2 else 1))

add("period 4 with exact ties", rep(c(3, -1, 4, 1), length.out = 34),
    function(s) s$passes[[1]][1] == 4 && s$passes[[1]][3] == 0)
add("period 16", rep(rnorm(16), length.out = 100) + 0.01 * rnorm(100),
    function(s) s$passes[[1]][1] != 16)

write.csv(do.call(rbind, rows), out("arar_shortening_reference.csv"), row.names = FALSE, quote = FALSE)

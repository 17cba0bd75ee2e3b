# Reference table for the Holt-Winters search of the smoothing constants
# (tests/unit/holt_winters_test.cpp). Run from the repository root:
#   Rscript scripts/reference/holt_winters_search.R
# Writes tests/data/holt_winters_search_reference.csv: for several series and starts, the
# constants the Hooke-Jeeves pattern search reaches (start step 0.02, halved until it would fall
# below 0.008) and their mean squared one-step error, both computed here independently, on the
# series of tests/data/holt_winters_series.csv.
#
# The recursions and start values are those of scripts/reference/holt_winters.R: level-and-trend
# from level Y2, slope Y2 - Y1, errors from t = 3; seasonal from level Y(d+1), slope
# (Y(d+1) - Y1)/d and components S(i) = Y(i) - Y1 - (i - 1)·slope, errors from t = d + 2.
# Constants outside [0, 1] by more than 1e-6 score 1e30. The search stops on explorations of
# step 0.01, so its result lies on the grid of the start; every comparison it made between two
# different values is checked to be far from a tie, so the result does not hang on rounding.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")

# Mean squared one-step error for constants c: (alpha, beta) when d = 0, else (alpha, gamma, beta).
hw_error <- function(Y, d, c) {
  if (any(c * (1 - c) < -1e-6)) return(1e30)
  n <- length(Y)
  L <- T <- S <- numeric(n)
  sum <- 0
  if (d == 0) {
    alpha <- c[1]; beta <- c[2]
    L[2] <- Y[2]; T[2] <- Y[2] - Y[1]
    for (t in 3:n) {
      P <- L[t - 1] + T[t - 1]
      L[t] <- alpha * Y[t] + (1 - alpha) * (L[t - 1] + T[t - 1])
      T[t] <- (1 - beta) * T[t - 1] + beta * (L[t] - L[t - 1])
      sum <- sum + (P - Y[t]) * (P - Y[t])
    }
    return(sum / (n - 2))
  }
  alpha <- c[1]; gamma <- c[2]; beta <- c[3]
  L[d + 1] <- Y[d + 1]; T[d + 1] <- (Y[d + 1] - Y[1]) / d
  S[1:d] <- Y[1:d] - Y[1] - (0:(d - 1)) * T[d + 1]
  S[d + 1] <- S[1]
  for (t in (d + 2):n) {
    P <- L[t - 1] + T[t - 1] + S[t - d]
    L[t] <- alpha * (Y[t] - S[t - d]) + (1 - alpha) * (L[t - 1] + T[t - 1])
    T[t] <- (1 - beta) * T[t - 1] + beta * (L[t] - L[t - 1])
    S[t] <- (1 - gamma) * S[t - d] + gamma * (Y[t] - L[t])
    sum <- sum + (P - Y[t]) * (P - Y[t])
  }
  sum / (n - d - 1)
}

# Hooke and Jeeves: explorations of +h then -h on each coordinate about the base B, pattern moves
# B := 2E - B after an improving exploration, a return to the last base when the exploration
# about a pattern point gives nothing below it, and halving of h when an exploration finds
# nothing; finished once h < 0.008.
search <- function(f, start) {
  h <- 0.02; B <- start; fb <- f(B); fresh <- TRUE
  Bs <- NULL; fs <- NA
  closest <- Inf  # nearest relative distance between two values compared
  less <- function(v, w) {
    if (v < 1e30 && w < 1e30 && v != w) closest <<- min(closest, abs(v - w) / abs(w))
    v < w
  }
  repeat {
    E <- B
    for (i in seq_along(B)) {
      X <- E
      X[i] <- B[i] + h
      v <- f(X)
      if (less(v, fb)) { fb <- v; E[i] <- X[i] }
      X[i] <- B[i] - h
      v <- f(X)
      if (less(v, fb)) { fb <- v; E[i] <- X[i] }
    }
    move <- FALSE
    if (any(E != B)) {
      move <- fresh || less(fb, fs)
    } else {
      h <- h / 2
      finished <- h < 0.008
      if (fresh) {
        if (finished) return(list(B = B, fb = fb, closest = closest))
        move <- TRUE
      } else if (!finished && less(fb, fs)) {
        move <- TRUE
      } else if (finished) {
        return(list(B = Bs, fb = fs, closest = closest))
      }
    }
    if (move) {
      Bs <- E; fs <- fb
      B <- 2 * E - B
      fb <- f(B)
      fresh <- FALSE
    } else {
      B <- Bs; fb <- fs
      fresh <- TRUE
    }
  }
}

# R datasets, and the simulated trend of scripts/reference/holt_winters.R, which writes them all
# to tests/data/holt_winters_series.csv.
series <- read.csv(out("holt_winters_series.csv"))
series <- split(series$value, series$series)
cases <- list(
  list(series = "LakeHuron", d = 0, start = c(0.2, 0.2)),
  list(series = "LakeHuron", d = 0, start = c(1, 0)),
  list(series = "Nile", d = 0, start = c(0.2, 0.2)),
  list(series = "Nile", d = 0, start = c(0.5, 0.9)),
  list(series = "UKgas", d = 4, start = c(0.2, 0.2, 0.2)),
  list(series = "UKgas", d = 4, start = c(0.6, 0.1, 0)),
  list(series = "nottem", d = 12, start = c(0.2, 0.2, 0.2)),
  list(series = "nottem", d = 12, start = c(0.5, 0.5, 0.5)),
  # Starts from which a search that skipped a step of the method would end elsewhere: the
  # reflection of the pattern move, the return to the base after a pattern point found nothing
  # below it, and that return when the search finishes.
  list(series = "sim_trend", d = 0, start = c(0.3, 0)),
  list(series = "sim_trend", d = 0, start = c(0.1, 0)),
  list(series = "sim_trend", d = 0, start = c(0.4, 0)),
  list(series = "UKgas", d = 4, start = c(0, 0.75, 0.75)))
rows <- list()
for (k in seq_along(cases)) {
  cs <- cases[[k]]
  Y <- series[[cs$series]]
  r <- search(function(c) hw_error(Y, cs$d, c), cs$start)
  stopifnot(r$closest > 1e-8)
  rows[[k]] <- data.frame(series = cs$series, d = cs$d, start = join(cs$start),
                          constants = join(r$B), mse = fmt(r$fb))
}
write.csv(do.call(rbind, rows), out("holt_winters_search_reference.csv"), row.names = FALSE,
          quote = FALSE)

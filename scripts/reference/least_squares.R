# Reference values for the least-squares and positive definite inverse unit tests
# (numlib/least_squares.cpp, numlib/pd_inverse.cpp). Run from the repository root:
#   Rscript scripts/reference/least_squares.R
# Writes tests/data/least_squares_design.csv (design, response and lm.fit residuals by row),
# tests/data/least_squares_coefficients.csv (lm.fit coefficients with NA written as 0, rank, the
# unscaled covariance chol2inv(R) over the kept columns, 0 for those left out, the columns it left
# out, the 2-norm condition number of the columns it keeps, each scaled to norm 1, and the
# tolerances DLSQRR is tried with) and tests/data/pd_inverse_reference.csv (matrices and
# chol2inv(chol(A))).

fmt <- function(v) formatC(v, digits = 17, format = "g")
set.seed(7)

# A case drawn under its own seed leaves the draws of the others as they were.
with_seed <- function(seed, expr) {
  kept <- get(".Random.seed", envir = globalenv())
  set.seed(seed)
  value <- expr
  assign(".Random.seed", kept, envir = globalenv())
  value
}

cases <- list(
  cars = list(X = cbind(1, cars$speed, cars$speed^2), y = cars$dist),
  # 32 rows: the work copy gets its padded leading dimension.
  mtcars = list(X = cbind(1, mtcars$wt, mtcars$hp, mtcars$disp), y = mtcars$mpg),
  # Column 4 is column 2 plus column 3: rank 3.
  trees_deficient = list(X = cbind(1, trees$Girth, trees$Height, trees$Girth + trees$Height), y = trees$Volume),
  wide = list(X = matrix(rnorm(12), 3, 4), y = rnorm(3)),
  # Column 4 is a combination of columns 2 and 3 up to the rounding of the quotients: rank 3.
  within_rounding = list(X = cbind(1, mtcars$wt, mtcars$hp, mtcars$wt / 3 + mtcars$hp / 7), y = mtcars$mpg),
  zero_column = list(X = cbind(1, cars$speed, 0), y = cars$dist),
  # Column 3 differs from column 2 by 3e-8 Height: independent, but what remains of it after
  # columns 1 and 2 is about 1.2e-8 of its own norm, below lm.fit's 1e-7, so it is left out.
  ill_conditioned = list(X = cbind(1, trees$Girth, trees$Girth + 3e-8 * trees$Height), y = trees$Volume),
  # The same with 1e-6 Height: what remains is about 3.9e-7 of its norm, above 1e-7, so it is kept.
  near_kept = list(X = cbind(1, trees$Girth, trees$Girth + 1e-6 * trees$Height), y = trees$Volume),
  # The powers t^0..t^8 of a trend, t = 1..100: columns from 10 to 1e17 in norm, all independent.
  powers = list(X = outer(1:100, 0:8, `^`), y = 3 + 0.5 * (1:100) + 10 * sin(0.3 * (1:100))),
  # Columns 1 to 6 N(0,1), column 7 their combination with weights 1.58e-4^(j-1), column 8
  # 5e-11 N(0,1): only the seventh depends on the others. Its remainder falls by 1.58e-4 at each
  # step, so a downdated norm that is not recomputed in time overtakes the eighth column's norm.
  graded = with_seed(43, {
    X <- matrix(rnorm(6 * 31), 31, 6)
    list(X = cbind(X, X %*% 1.58e-4^(0:5), 5e-11 * rnorm(31)), y = rnorm(31), tried = "0")
  }),
  # Columns 2 and 3 of norm about 4e18 and a fourth that is their combination to within rounding:
  # its rounding residue, about 1e3, exceeds the whole norm of the constant column.
  large_dependent = with_seed(11, {
    B <- 1e18 * matrix(rnorm(40), 20, 2)
    list(X = cbind(1, B, B[, 1] / 3 + B[, 2] / 7), y = as.vector(2 + B %*% c(1e-18, -2e-18) + rnorm(20)),
         tried = "0")
  }),
  # Columns at opposite ends of the double range, x1 = 1:10 and x2 = 1, 0, 1, 0, ...: one power of
  # two for the whole matrix would push the small column below the normal numbers.
  ends_155 = list(X = cbind((1:10) * 1e-155, rep(c(1, 0), 5) * 1e155), y = sin(1:10) + 1:10),
  ends_170 = list(X = cbind((1:10) * 1e-170, rep(c(1, 0), 5) * 1e170), y = sin(1:10) + 1:10),
  # The large column first, 2^1994 times the scale of the small one, which any positive DLSQRR
  # tolerance leaves out beside it.
  ends_300 = list(X = cbind(rep(c(1, 0), 5) * 1e300, (1:10) * 1e-300), y = sin(1:10) + 1:10, tried = "0")
)
width <- max(sapply(cases, function(cs) ncol(cs$X)))
design <- list()
coefs <- list()
for (name in names(cases)) {
  X <- cases[[name]]$X
  y <- cases[[name]]$y
  fit <- lm.fit(X, y)
  cols <- matrix("", nrow(X), width, dimnames = list(NULL, paste0("a", seq_len(width))))
  cols[, seq_len(ncol(X))] <- fmt(X)
  design[[name]] <- data.frame(case = name, row = seq_len(nrow(X)), y = fmt(y), cols,
    residual = fmt(fit$residuals))
  cf <- fit$coefficients
  cf[is.na(cf)] <- 0
  kept <- X[, fit$qr$pivot[seq_len(fit$rank)], drop = FALSE]
  # Columns near the ends of the range are first brought to a largest element of 1, so that their
  # squares neither underflow nor overflow.
  far <- apply(abs(kept), 2, max) < 1e-100 | apply(abs(kept), 2, max) > 1e100
  kept[, far] <- sweep(kept[, far, drop = FALSE], 2, apply(abs(kept[, far, drop = FALSE]), 2, max), "/")
  kept <- sweep(kept, 2, sqrt(colSums(kept^2)), "/")
  # The unscaled covariance as summary.lm forms it: chol2inv of lm.fit's R over the kept columns.
  covariance <- matrix(0, ncol(X), ncol(X))
  used <- fit$qr$pivot[seq_len(fit$rank)]
  covariance[used, used] <- chol2inv(fit$qr$qr[seq_len(fit$rank), seq_len(fit$rank), drop = FALSE])
  coefs[[name]] <- data.frame(case = name, nca = ncol(X), rank = fit$rank,
    coefficients = paste(fmt(cf), collapse = " "), covariance = paste(fmt(as.vector(covariance)), collapse = " "),
    left_out = paste(which(is.na(fit$coefficients)), collapse = " "), kappa = fmt(kappa(kept, exact = TRUE)),
    tolerances = if (is.null(cases[[name]][["tried"]])) "1e-10 0" else cases[[name]][["tried"]])
}
write.csv(do.call(rbind, design), "tests/data/least_squares_design.csv", row.names = FALSE, quote = FALSE)
write.csv(do.call(rbind, coefs), "tests/data/least_squares_coefficients.csv", row.names = FALSE, quote = FALSE)

# Positive definite matrices: a crossproduct of longley, the Hilbert matrix of order 6 and a
# random covariance of order 9; inverse by chol2inv(chol(A)); both column by column.
hilbert <- function(n) outer(seq_len(n), seq_len(n), function(i, j) 1 / (i + j - 1))
mats <- list(longley = crossprod(scale(as.matrix(longley[, 1:5]))), hilbert6 = hilbert(6),
             random9 = crossprod(matrix(rnorm(90), 10, 9)))
rows <- list()
for (name in names(mats)) {
  A <- mats[[name]]
  rows[[name]] <- data.frame(name = name, n = nrow(A), a = paste(fmt(as.vector(A)), collapse = " "),
    inverse = paste(fmt(as.vector(chol2inv(chol(A)))), collapse = " "))
}
write.csv(do.call(rbind, rows), "tests/data/pd_inverse_reference.csv", row.names = FALSE, quote = FALSE)

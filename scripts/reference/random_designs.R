# A seeded family of small least-squares designs for the rank rule of numlib/least_squares.cpp
# (tests/unit/least_squares_test.cpp), each fitted by R's lm.fit. Run from the repository root:
#   Rscript scripts/reference/random_designs.R
# Writes tests/data/least_squares_random.csv: per design its rows n, columns k, the kind of each
# column, the design column by column, the right-hand side, lm.fit's rank, the columns whose
# coefficient is NA, its fitted values, and the 2-norm condition number of the kept columns scaled
# to norm 1.
#
# Columns are drawn one after another, each scaled by 10^s with s from -12 to 12:
#   int   integers from -9 to 9          real  N(0, 1)
#   icomb an integer combination of two earlier columns (coefficients -3..3, not 0)
#   rcomb a real combination of two earlier columns (N(0, 1) coefficients)
#   dup   an earlier column repeated     zero  a zero column
#   near  an earlier column plus 1e-10 (nearL) or 1e-4 (nearK) of its norm times N(0, 1)
# The combinations, duplicates, zeros and nearL columns depend on the columns before them (to
# within 1e-10 of their norm), the others do not (beyond 1e-5). A design is kept only when every
# column's remainder after the columns before it, as R's QR computes it, lies on its side of
# that gap, so that no design's rank rests on rounding. The first design is the three-row example
# cbind(c(100, 200, 300), c(3, 1, 4), c(103, 201, 304)), whose third column is the sum of the others.

fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(fmt(v), collapse = " ")
set.seed(20261211)

dependent_kinds <- c("icomb", "rcomb", "dup", "zero", "nearL")

draw_design <- function() {
    n <- sample(4:8, 1)
    k <- sample(3:min(5, n), 1)
    X <- matrix(0, n, k)
    kinds <- character(k)
    for (j in seq_len(k)) {
        kind <- if (j == 1) sample(c("int", "real"), 1) else
            sample(c("int", "real", "icomb", "rcomb", "dup", "zero", "nearL", "nearK"), 1,
                   prob = c(3, 3, 1.5, 1.5, 0.7, 0.4, 1, 1))
        scale <- 10^sample(-12:12, 1)
        earlier <- if (j > 1) sample(seq_len(j - 1), min(2, j - 1)) else integer(0)
        e1 <- X[, earlier[1]]
        e2 <- if (length(earlier) > 1) X[, earlier[2]] else 0 * e1
        X[, j] <- switch(kind,
            int = scale * sample(-9:9, n, replace = TRUE),
            real = scale * rnorm(n),
            icomb = sample(c(-3:-1, 1:3), 1) * e1 + sample(c(-3:-1, 1:3), 1) * e2,
            rcomb = rnorm(1) * e1 + rnorm(1) * e2,
            dup = e1,
            zero = rep(0, n),
            nearL = e1 + 1e-10 * sqrt(sum(e1^2)) * rnorm(n),
            nearK = e1 + 1e-4 * sqrt(sum(e1^2)) * rnorm(n))
        kinds[j] <- kind
    }
    list(X = X, kinds = kinds)
}

# The remainder of each column after the columns before it, as a fraction of its own norm.
remainders <- function(X) {
    sapply(seq_len(ncol(X)), function(j) {
        own <- sqrt(sum(X[, j]^2))
        if (own == 0) return(0)
        if (j == 1) return(1)
        sqrt(sum(qr.resid(qr(X[, seq_len(j - 1), drop = FALSE]), X[, j])^2)) / own
    })
}

clear_of_the_mark <- function(d) {
    r <- remainders(d$X)
    dependent <- d$kinds %in% dependent_kinds
    # A base or nearK column must itself stand clear of those before it.
    all(r[dependent] < 1e-9) && all(r[!dependent] > 1e-5)
}

designs <- list(list(X = cbind(c(100, 200, 300), c(3, 1, 4), c(103, 201, 304)),
                     kinds = c("int", "int", "icomb")))
while (length(designs) < 100) {
    d <- draw_design()
    if (clear_of_the_mark(d)) designs[[length(designs) + 1]] <- d
}

rows <- list()
for (i in seq_along(designs)) {
    X <- designs[[i]]$X
    y <- 10^sample(-6:6, 1) * rnorm(nrow(X))
    fit <- lm.fit(X, y)
    kept <- X[, fit$qr$pivot[seq_len(fit$rank)], drop = FALSE]
    kept <- sweep(kept, 2, sqrt(colSums(kept^2)), "/")
    rows[[i]] <- data.frame(id = i, n = nrow(X), k = ncol(X), kinds = paste(designs[[i]]$kinds, collapse = " "),
        x = join(as.vector(X)), y = join(y), rank = fit$rank,
        left_out = paste(which(is.na(fit$coefficients)), collapse = " "),
        kappa = fmt(kappa(kept, exact = TRUE)), fitted = join(fit$fitted.values))
}
write.csv(do.call(rbind, rows), "tests/data/least_squares_random.csv", row.names = FALSE, quote = FALSE)

# R's diff of some of R's datasets, for the differencing of the Transform menu
# (tests/unit/transforms_test.cpp). Run from the repository root:
#   Rscript scripts/reference/differences.R
# Writes tests/data/differences_reference.csv. A row of kind "data" holds a series; a row of kind
# "diff" holds diff() applied once per lag in `lags`, in that order, at `positions` (from 1):
# every position where it is exactly 0, and every 25th. The data are written with 15 digits,
# which read back as the same doubles.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)
join <- function(v) paste(v, collapse = " ")

series <- list(sunspot.month = datasets::sunspot.month, UKgas = datasets::UKgas,
               JohnsonJohnson = datasets::JohnsonJohnson, co2 = datasets::co2)
series <- lapply(series, as.numeric)
stacks <- list(sunspot.month = list(1, 12, c(12, 1), c(1, 1, 1)), UKgas = list(4, c(4, 1), c(1, 1, 1)),
               JohnsonJohnson = list(c(4, 1), c(1, 1, 1)), co2 = list(c(12, 1)))

rows <- list()
for (name in names(series)) {
    x <- series[[name]]
    text <- sprintf("%.15g", x)
    stopifnot(all(as.numeric(text) == x))
    rows[[length(rows) + 1]] <- data.frame(kind = "data", series = name, lags = "", positions = "",
                                           values = join(text))
    for (lags in stacks[[name]]) {
        y <- x
        for (h in lags) y <- diff(y, lag = h)
        at <- sort(union(which(y == 0), seq(1, length(y), by = 25)))
        rows[[length(rows) + 1]] <- data.frame(kind = "diff", series = name, lags = join(lags),
                                               positions = join(at), values = join(fmt(y[at])))
    }
}
write.csv(do.call(rbind, rows), out("differences_reference.csv"), row.names = FALSE, quote = FALSE)

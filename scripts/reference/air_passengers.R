# The AirPassengers series and what the transforms make of it, for the black-box test of the
# transform commands. Run from the repository root:
#   Rscript scripts/reference/air_passengers.R
# Writes tests/data/air_passengers.csv: t, the monthly totals, and for t > 12 the series after
# the natural logarithm, differencing at lag 12 and subtracting the mean.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)

x <- as.numeric(datasets::AirPassengers)
d <- diff(log(x), lag = 12)
d <- d - mean(d)
transformed <- c(rep("", 12), fmt(d))
write.csv(data.frame(t = seq_along(x), value = fmt(x), transformed = transformed),
          out("air_passengers.csv"), row.names = FALSE, quote = FALSE)

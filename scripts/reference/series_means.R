# Means of some of R's datasets, for the sample mean of the data report
# (tests/unit/univariate_reports_test.cpp). Run from the repository root:
#   Rscript scripts/reference/series_means.R
# R's mean sums in long double and adds the mean of the deviations from that sum's mean, also in
# long double: the result is the mean correctly rounded. The variance has divisor n.

out <- function(name) file.path("tests", "data", name)
fmt <- function(x) sprintf("%.17g", x)

# A simulated series of one decimal, whose mean a correction from deviations rounded to double
# gets one unit of the last place wrong.
simulated <- local({
    set.seed(1)
    for (k in 1:28) x <- round(rnorm(50 + k %% 200, 300, 120), 1)
    x
})
series <- list(AirPassengers = datasets::AirPassengers, co2 = datasets::co2,
               USAccDeaths = datasets::USAccDeaths, LakeHuron = datasets::LakeHuron,
               precip = datasets::precip, simulated = simulated)
series <- lapply(series, as.numeric)

rows <- do.call(rbind, lapply(names(series), function(nm)
    data.frame(series = nm, t = seq_along(series[[nm]]), value = fmt(series[[nm]]))))
write.csv(rows, out("series_means.csv"), row.names = FALSE, quote = FALSE)

ref <- do.call(rbind, lapply(names(series), function(nm) {
    x <- series[[nm]]
    data.frame(series = nm, mean = fmt(mean(x)), variance = fmt(mean((x - mean(x))^2)))
}))
write.csv(ref, out("series_means_reference.csv"), row.names = FALSE, quote = FALSE)

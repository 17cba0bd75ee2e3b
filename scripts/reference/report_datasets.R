# R's datasets whose reports tests/unit/dataset_reports_test.cpp writes and compares with the
# committed report texts under tests/data/dataset_reports/. Run from the repository root:
#   Rscript scripts/reference/report_datasets.R
# Only the values are written (series,t,value); the reports themselves are the program's.
out <- file.path("tests", "data", "report_datasets.csv")
series <- list(LakeHuron = LakeHuron, Nile = Nile, co2 = co2, AirPassengers = AirPassengers,
               USAccDeaths = USAccDeaths, sunspot.month = sunspot.month, lynx = lynx)
rows <- do.call(rbind, lapply(names(series), function(name) {
    x <- as.numeric(series[[name]])
    data.frame(series = name, t = seq_along(x), value = sprintf("%.17g", x))
}))
write.csv(rows, out, row.names = FALSE, quote = FALSE)

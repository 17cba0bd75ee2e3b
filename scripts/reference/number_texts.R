# Ordinary number texts and R's readings of them, for the test that gives each text to every
# reader of numbers (tests/console/number_readers_test.cpp). Run from the repository root:
#   Rscript scripts/reference/number_texts.R
# Writes each text as tests/data/number_texts/NAME.txt and R's readings as
# tests/data/number_texts/readings.csv, columns file,reading,m,values:
#   reading first:   the first number of each line (univariate Open, Paste of a series), from
#                    read.table(fill = TRUE)[[1]] or scan() for one value a line;
#   reading vectors: every number in order, m a line (Read Data and the console data file with
#                    m numbers a vector, Paste of a table of m columns), from scan();
#   values: blank-separated, 17 significant digits.
# Forms that R does not read (a Fortran D exponent, an exponent given by its sign alone, repeat
# counts, a Ctrl-Z as the last byte) are read by R from the same text written in R's own forms.

dir <- file.path("tests", "data", "number_texts")
dir.create(dir, showWarnings = FALSE)
path <- function(name) file.path(dir, paste0(name, ".txt"))
fmt <- function(x) paste(sprintf("%.17g", x), collapse = " ")
put <- function(name, text) writeBin(charToRaw(text), path(name))
rows <- list()
reading <- function(name, kind, m, values) {
    rows[[length(rows) + 1]] <<- data.frame(file = name, reading = kind, m = m, values = fmt(values))
}
lines <- function(v, k, sep = " ", eol = "\n") {
    v <- format(v, trim = TRUE)
    paste0(paste(apply(matrix(v, ncol = k, byrow = TRUE), 1, paste, collapse = sep), collapse = eol), eol)
}

huron <- as.numeric(datasets::LakeHuron)

# One value a line.
put("lake_huron_one", lines(huron, 1))
reading("lake_huron_one", "first", 1, scan(path("lake_huron_one"), quiet = TRUE))
reading("lake_huron_one", "vectors", 1, scan(path("lake_huron_one"), quiet = TRUE))

# Five values a line, parted by blanks (the first 95 values: 19 whole lines).
put("lake_huron_five", lines(huron[1:95], 5))
reading("lake_huron_five", "first", 5, read.table(path("lake_huron_five"))[[1]])
reading("lake_huron_five", "vectors", 5, scan(path("lake_huron_five"), quiet = TRUE))

# Two columns parted by TABs, CR LF line ends.
deaths <- c(rbind(as.numeric(datasets::mdeaths), as.numeric(datasets::fdeaths)))
put("deaths_tab_crlf", lines(deaths, 2, "\t", "\r\n"))
reading("deaths_tab_crlf", "first", 2, read.table(path("deaths_tab_crlf"), sep = "\t")[[1]])
reading("deaths_tab_crlf", "vectors", 2, scan(path("deaths_tab_crlf"), sep = "\t", quiet = TRUE))

# Year and level parted by commas, as a spreadsheet writes a CSV file.
years <- c(rbind(as.numeric(time(datasets::LakeHuron)), huron))
put("lake_huron_csv", lines(years, 2, ","))
reading("lake_huron_csv", "first", 2, read.csv(path("lake_huron_csv"), header = FALSE)[[1]])
reading("lake_huron_csv", "vectors", 2, scan(path("lake_huron_csv"), sep = ",", quiet = TRUE))

# A byte-order mark and CR LF line ends.
put("bom_crlf", paste0("\xEF\xBB\xBF", lines(huron[1:10], 1, eol = "\r\n")))
bom <- scan(path("bom_crlf"), fileEncoding = "UTF-8-BOM", quiet = TRUE)
reading("bom_crlf", "first", 1, bom)
reading("bom_crlf", "vectors", 1, bom)

# Blank lines between the values.
put("blank_lines", "580.38\n\n581.86\n  \n580.97\n\t\n")
reading("blank_lines", "first", 1, scan(path("blank_lines"), quiet = TRUE))
reading("blank_lines", "vectors", 1, scan(path("blank_lines"), quiet = TRUE))

# Fortran's forms: a D exponent and an exponent given by its sign alone.
put("fortran_forms", "1.5D3\n0.123456-100\n2.5+3\n-7.25d-2\n")
fortran <- scan(text = "1.5e3\n0.123456e-100\n2.5e+3\n-7.25e-2\n", quiet = TRUE)
reading("fortran_forms", "first", 1, fortran)
reading("fortran_forms", "vectors", 1, fortran)

# Repeat counts of free format, for the readers of vectors.
put("repeats", "2*1.5\n2*2.5\n1 3.25\n")
reading("repeats", "vectors", 2, scan(text = "1.5 1.5\n2.5 2.5\n1 3.25\n", quiet = TRUE))

# A DOS end-of-file mark as the last byte.
put("ctrl_z_last", "580.38\r\n581.86\r\n580.97\r\n\x1A")
ctrl <- scan(text = "580.38\n581.86\n580.97\n", quiet = TRUE)
reading("ctrl_z_last", "first", 1, ctrl)
reading("ctrl_z_last", "vectors", 1, ctrl)

# AirPassengers as a table of 12 columns, a year a row, by write.csv: whole numbers of three digits
# parted by commas, which read as thousands separators unless every row gives the same count. The
# header line of column names, which a user does not paste, is left out.
air <- matrix(as.integer(datasets::AirPassengers), ncol = 12, byrow = TRUE)
csv <- tempfile(fileext = ".csv")
write.csv(air, csv, row.names = FALSE)
put("air_passengers_csv", paste0(paste(readLines(csv)[-1], collapse = "\n"), "\n"))
reading("air_passengers_csv", "vectors", 12, t(as.matrix(read.csv(path("air_passengers_csv"), header = FALSE))))

write.csv(do.call(rbind, rows), file.path(dir, "readings.csv"), row.names = FALSE, quote = FALSE)

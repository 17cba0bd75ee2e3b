# Times R's scan() of the files of scripts/bench/number_text_vs_r.sh: the series (one value a line)
# and the table (four values a line, TAB-parted). CPU time (user + system), the best of five runs,
# as the benchmark's min rows give it.
#   Rscript scripts/bench/number_text_r.R SERIES_FILE TABLE_FILE
args <- commandArgs(trailingOnly = TRUE)
best_cpu <- function(f, reps = 5) {
  f()
  min(vapply(seq_len(reps), function(i) {
    t <- system.time(f())
    t[["user.self"]] + t[["sys.self"]]
  }, 0))
}
cat(sprintf("%-24s %8.1f ms CPU\n", "R_scan_series", 1e3 * best_cpu(function() scan(args[1], quiet = TRUE))))
cat(sprintf("%-24s %8.1f ms CPU\n", "R_scan_table", 1e3 * best_cpu(function() scan(args[2], sep = "\t", quiet = TRUE))))

# Count: every statistic of a 1M-line file against bytes, words and lines.
floor mixed.txt
compare "count 1M lines" "\$BIN/count mixed.txt >/dev/null 2>&1" "wc -c -w -l mixed.txt >/dev/null"

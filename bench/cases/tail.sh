# Tail: the last 10 lines of a pipe.
compare "tail last 10 lines of a 1M-line pipe" "cat mixed.txt | \$BIN/tail >/dev/null" "cat mixed.txt | tail -n 10 >/dev/null"

# Tail: the last 10 lines of a pipe, and the last bytes of a file and of a
# pipe.
floor mixed.txt
compare "tail last 1000 bytes of a 1M-line file" "\$BIN/tail /b /1000 mixed.txt >/dev/null" "tail -c 1000 mixed.txt >/dev/null"
pipe_floor mixed.txt
compare "tail last 10 lines of a 1M-line pipe" "cat mixed.txt | \$BIN/tail >/dev/null" "cat mixed.txt | tail -n 10 >/dev/null"
compare "tail last 1000 bytes of a 1M-line pipe" "cat mixed.txt | \$BIN/tail /b /1000 >/dev/null" "cat mixed.txt | tail -c 1000 >/dev/null"

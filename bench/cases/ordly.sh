# Ordly against the system sort in the C locale: wall time against the
# two-thread sort, CPU time against the one-thread sort (user and system
# time are measured apart from this table).
make_text big.txt 3500000
compare "ordly 15k lines default order" "\$BIN/ordly small.txt >/dev/null" "LC_ALL=C sort --parallel=1 small.txt >/dev/null"
compare "ordly 1M lines default order" "\$BIN/ordly mixed.txt >/dev/null" "LC_ALL=C sort --parallel=1 mixed.txt >/dev/null"
compare "ordly 1M lines default, sort 2 threads" "\$BIN/ordly mixed.txt >/dev/null" "LC_ALL=C sort --parallel=2 mixed.txt >/dev/null"
compare "ordly 1M lines /A" "\$BIN/ordly /A mixed.txt >/dev/null" "LC_ALL=C sort --parallel=1 mixed.txt >/dev/null"
compare "ordly 3.5M lines default order" "\$BIN/ordly big.txt >/dev/null" "LC_ALL=C sort --parallel=1 big.txt >/dev/null"
compare "ordly 3.5M lines default, sort 2 threads" "\$BIN/ordly big.txt >/dev/null" "LC_ALL=C sort --parallel=2 big.txt >/dev/null"

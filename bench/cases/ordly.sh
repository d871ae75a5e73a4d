# Ordly against the system sort in the C locale, single-threaded.
compare "ordly 15k lines default order" "\$BIN/ordly small.txt >/dev/null" "LC_ALL=C sort --parallel=1 small.txt >/dev/null"
compare "ordly 1M lines default order" "\$BIN/ordly mixed.txt >/dev/null" "LC_ALL=C sort --parallel=1 mixed.txt >/dev/null"
compare "ordly 1M lines /A" "\$BIN/ordly /A mixed.txt >/dev/null" "LC_ALL=C sort --parallel=1 mixed.txt >/dev/null"

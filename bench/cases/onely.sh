# Onely against the system's repeated-line filter (default locale).
floor mixed.txt
compare "onely 1M lines" "\$BIN/onely mixed.txt >/dev/null" "uniq mixed.txt >/dev/null"
compare "onely 1M lines, counts" "\$BIN/onely -c mixed.txt >/dev/null" "uniq -c mixed.txt >/dev/null"

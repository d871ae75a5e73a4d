# Cut against the system's cut (default locale).
compare "cut 1M lines, field 2" "\$BIN/cut /f2 mixed.txt >/dev/null" "cut -f2 mixed.txt >/dev/null"
compare "cut 1M lines, columns 1-10" "\$BIN/cut /c1-10 mixed.txt >/dev/null" "cut -c1-10 mixed.txt >/dev/null"

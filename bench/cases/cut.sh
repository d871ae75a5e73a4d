# Cut against the system's cut (default locale).
floor mixed.txt
compare "cut 1M lines, field 2" "\$BIN/cut /f2 mixed.txt >/dev/null" "cut -f2 mixed.txt >/dev/null"
compare "cut 1M lines, columns 1-10" "\$BIN/cut /c1-10 mixed.txt >/dev/null" "cut -c1-10 mixed.txt >/dev/null"
floor table.txt
compare "cut 1M tab-separated lines, fields 2,4" "\$BIN/cut /f2,4 table.txt >/dev/null" "cut -f2,4 table.txt >/dev/null"
compare "cut 1M tab-separated lines, columns 3-20" "\$BIN/cut /c3-20 table.txt >/dev/null" "cut -c3-20 table.txt >/dev/null"

# Colspread against the system's tab expander, Colpack against its
# all-blanks unexpander, on the same million lines of mixed text.
compare "colspread 1M lines default stops" "\$BIN/colspread mixed.txt >/dev/null" "expand mixed.txt >/dev/null"
compare "colpack 1M lines default stops" "\$BIN/colpack mixed.txt >/dev/null" "unexpand -a mixed.txt >/dev/null"
compare "colpack 1M lines every 4 columns" "\$BIN/colpack -D4 mixed.txt >/dev/null" "unexpand -a -t4 mixed.txt >/dev/null"

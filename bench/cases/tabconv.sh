# Colspread against the system's tab expander, Colpack against its
# all-blanks unexpander: on the million lines of mixed text, and on a
# million tab-separated lines (for Colpack, the same with its tabs spread).
floor mixed.txt
compare "colspread 1M lines default stops" "\$BIN/colspread mixed.txt >/dev/null" "expand mixed.txt >/dev/null"
compare "colpack 1M lines default stops" "\$BIN/colpack mixed.txt >/dev/null" "unexpand -a mixed.txt >/dev/null"
compare "colpack 1M lines every 4 columns" "\$BIN/colpack -D4 mixed.txt >/dev/null" "unexpand -a -t4 mixed.txt >/dev/null"
floor table.txt
compare "colspread 1M tab-separated lines" "\$BIN/colspread table.txt >/dev/null" "expand table.txt >/dev/null"
floor spread.txt
compare "colpack 1M spread tab-separated lines" "\$BIN/colpack spread.txt >/dev/null" "unexpand -a spread.txt >/dev/null"

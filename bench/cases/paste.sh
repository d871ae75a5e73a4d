# Paste of two files against the system's paste (default locale).
[ -f mixed2.txt ] || "$BIN/bench_make_text" mixed2.txt 1000000 4242
floor mixed.txt mixed2.txt
compare "paste 2 files of 1M lines" "\$BIN/paste mixed.txt mixed2.txt >/dev/null" "paste mixed.txt mixed2.txt >/dev/null"

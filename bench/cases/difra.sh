# Difra against the system's diff on two files of 500,000 lines that differ
# by 2,000 scattered insertions, deletions and changes. diff ends with
# status 1 when the files differ, and so does difra.
[ -f pair1.txt ] || "$BIN/bench_make_pair" pair1.txt pair2.txt 500000 2000 4242
floor pair1.txt pair2.txt
compare "difra 500k lines, 2,000 edits" "\$BIN/difra pair1.txt pair2.txt >/dev/null" "diff pair1.txt pair2.txt >/dev/null" 1
compare "difra 500k lines, 2,000 edits /B /C" "\$BIN/difra /B /C pair1.txt pair2.txt >/dev/null" "diff -i -Z pair1.txt pair2.txt >/dev/null" 1

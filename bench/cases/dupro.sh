# Dupro: copying a tree of 8,000 files (about 130 MB) into a new folder, and
# comparing a copied tree. Each copy goes to a fresh folder under trash/.
[ -d tree ] || "$BIN/bench_make_tree" tree
rm -rf trash && mkdir trash
[ -d tree.copy ] || cp -a tree tree.copy
compare "dupro copy 8000 files 130 MB" "\$BIN/dupro tree \$(mktemp -u trash/ours.XXXXXX) >/dev/null" "cp -a tree \$(mktemp -u trash/cp.XXXXXX)"
compare "dupro -E compare 8000 files 130 MB" "\$BIN/dupro -E tree tree.copy >/dev/null" "diff -r -q tree tree.copy >/dev/null"
rm -rf trash

# The preview of a long file: first page in view, pages counted, a jump to the last page, peak memory.
if [ "$BENCH_SMOKE" = 1 ]; then sizes="1000"; else sizes="16000 200000"; fi
for kind in laser liste; do
  for n in $sizes; do
    run "$BENCH_BUILD/bench/bench_vorschau" "$kind" "$n"
  done
done

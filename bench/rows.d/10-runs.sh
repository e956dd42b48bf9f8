# Standalone runs of the main window's code to the PDF printer, each after the check before printing.
if [ "$BENCH_SMOKE" = 1 ]; then sizes="1000"; else sizes="1000 10000 100000"; fi
for kind in laser liste label; do
  for n in $sizes; do
    run "$BENCH_BUILD/bench/bench_runs" "$kind" "$n"
  done
done

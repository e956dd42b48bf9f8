# Standalone runs of the main window's code to the PDF printer, each after the check before printing.
if [ "$BENCH_SMOKE" = 1 ]; then sizes="1000"; else sizes="1000 10000 100000"; fi
for kind in laser liste label; do
  for n in $sizes; do
    run "$BENCH_BUILD/bench/bench_runs" "$kind" "$n"
  done
done
# A record with a 15 MB text line: the check and the laser run cost what the label shows of it.
run "$BENCH_BUILD/bench/bench_runs" lang 15

# Cold start of the window (offscreen).
if [ "$BENCH_SMOKE" = 1 ]; then run "$BENCH_BUILD/bench/bench_coldstart" 3; else run "$BENCH_BUILD/bench/bench_coldstart" 11; fi

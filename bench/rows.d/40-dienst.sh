# The print service for web tills over loopback HTTP: one label a request, one
# after the other (median, p99, and the job's own part), and sixteen clients at
# once whose jobs are all read back (none lost, duplicated or mixed).
if [ "$BENCH_SMOKE" = 1 ]; then labels=100; each=50; else labels=1000; each=500; fi
run "$BENCH_BUILD/bench/bench_dienst" label "$labels"
run "$BENCH_BUILD/bench/bench_dienst" clients 16 "$each" 10

# The automation server over a private session bus: labels on the label
# printer and laser labels through one object, the round trips under a label
# (floor), two clients at once, objects created and released, and the cold
# start from the bus's activation to a ready object.
if [ "$BENCH_SMOKE" = 1 ]; then labels=100; laser=1000; objects=500; else labels=1000; laser=10000; objects=10000; fi
run "$BENCH_BUILD/bench/bench_automation" label "$labels"
run "$BENCH_BUILD/bench/bench_automation" floor "$labels"
run "$BENCH_BUILD/bench/bench_automation" laser "$laser"
run "$BENCH_BUILD/bench/bench_automation" clients "$((labels / 2))"
run "$BENCH_BUILD/bench/bench_automation" objects "$objects"
run "$BENCH_BUILD/bench/bench_automation" start 5
run "$BENCH_BUILD/bench/bench_automation" lang 3

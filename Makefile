# The two entry points. Each first makes sure the machine has what it needs.
.PHONY: run test deps build clean fuzz bench

deps:
	@scripts/ensure-deps.sh

test: deps
	@scripts/test-all.sh

run: deps
	@scripts/run.sh

# Longer runs than make test's: each fuzz target for five minutes, then the fault matrix with
# every error number on every call.
fuzz: deps
	@scripts/fuzz.sh

# Google Benchmark figures, each with its goal.
bench: deps
	@bench/run.sh

clean:
	rm -rf build

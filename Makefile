# The two entry points. Each first makes sure the machine has what it needs.
.PHONY: run test deps build clean fuzz bench msi

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

# "NORVA Orbix Printer 4.64.msi" in build/msi, wrapping PACKAGE (a driver package folder with
# the programs in it; default: the tests' sample package).
msi: deps
	@scripts/msi.sh $(PACKAGE)

clean:
	rm -rf build

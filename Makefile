# The two entry points. Each first makes sure the machine has what it needs.
.PHONY: run test deps build clean

deps:
	@scripts/ensure-deps.sh

test: deps
	@scripts/test-all.sh

run: deps
	@scripts/run.sh

clean:
	rm -rf build

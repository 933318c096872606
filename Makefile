# The two entry points. Each first makes sure the machine has what it needs.
.PHONY: run test deps build clean fuzz bench msi sign

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

# The shipped programs, their action library and the package of PACKAGE (as make msi), signed
# with the organisation's certificate: ZENTHAR_SIGN_PKCS12 (a PKCS#12 file), ZENTHAR_SIGN_PASSWORD
# and, if wanted, ZENTHAR_SIGN_TIMESTAMP (a time-stamp server's URL). See scripts/sign.sh.
sign: deps
	@[ -n "$$ZENTHAR_SIGN_PKCS12" ] || { echo "make sign: name the certificate: ZENTHAR_SIGN_PKCS12=FILE ZENTHAR_SIGN_PASSWORD=..." >&2; exit 2; }
	@scripts/msi.sh $(PACKAGE)

clean:
	rm -rf build

# The two commands a newcomer needs: `make run` and `make test`.
# Both install what is missing (Debian 12, as root), build, then run.

JOBS      ?= $(shell nproc)
BUILD     := build/win
NATIVE    := build/native
WINE      := scripts/wine --prefix=$(CURDIR)/build/wineprefix
FUZZ_SECONDS ?= 300

.PHONY: all run test build bootstrap deps check-native fuzz bench clean

all: build

bootstrap:
	@scripts/bootstrap

deps: bootstrap
	@mkdir -p build
	@scripts/deps.sh > build/.deps-prefix

# Configure when there is no build yet or the dependency prefix changed; ninja re-runs
# cmake by itself when a CMakeLists.txt changes.
build: deps
	@prefix=$$(cat build/.deps-prefix); \
	if ! grep -qx "SONORIA_DEPS_PREFIX:PATH=$$prefix" $(BUILD)/CMakeCache.txt 2>/dev/null; then \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake \
	    -DSONORIA_DEPS_PREFIX=$$prefix \
	    "-DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/scripts/wine;--prefix=$(CURDIR)/build/wineprefix"; \
	fi
	cmake --build $(BUILD) -j $(JOBS)

# In a prefix of its own with a virtual desktop, over the simulated drive with the demo disc.
run: build
	scripts/run-demo $(BUILD)

# A program that fails is run once more: Wine and Xvfb under a loaded machine now and then
# lose a start; ctest's log still shows the failed first run.
test: build
	@$(WINE) --start
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --repeat until-pass:2; rc=$$?; cd $(CURDIR) && $(WINE) --stop; exit $$rc

# The codecs are built with the same sanitizers and fuzzer coverage (scripts/deps-native.sh).
check-native: bootstrap
	@mkdir -p build
	@scripts/deps-native.sh > build/.deps-native-prefix
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSONORIA_NATIVE=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DSONORIA_NATIVE_DEPS_PREFIX=$$(cat build/.deps-native-prefix)
	cmake --build $(NATIVE) -j $(JOBS)
	cd $(NATIVE) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest -j $(JOBS) --output-on-failure

fuzz: check-native
	@rc=0; for f in $(NATIVE)/fuzz/fuzz_*; do [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); mkdir -p build/corpus/$$name build/fuzz-findings; \
	  echo "== $$name ($(FUZZ_SECONDS) s)"; \
	  if ! $$f -max_total_time=$(FUZZ_SECONDS) -timeout=30 -artifact_prefix=build/fuzz-findings/$$name- \
	       build/corpus/$$name fuzz/corpus/$$name > build/corpus/$$name.log 2>&1; then \
	    tail -n 30 build/corpus/$$name.log; rc=1; \
	  else tail -n 1 build/corpus/$$name.log; fi; \
	done; exit $$rc

# Benchmarks report ratios against references measured in the same run; not part of the tests.
bench: build
	@$(WINE) --start
	@for b in $(BUILD)/bin/bench_*.exe; do [ -f "$$b" ] || continue; \
	  echo "== $$(basename $$b)"; $(WINE) $$b || exit 1; done
	@for s in bench/*.sh; do [ -f "$$s" ] || continue; echo "== $$s"; bash $$s || exit 1; done

clean:
	rm -rf build

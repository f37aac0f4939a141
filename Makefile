# Korvo: build, run and test.
JOBS ?= 2
BUILD := build
ASAN_BUILD := build-asan
TSAN_BUILD := build-tsan
CMAKE_FLAGS ?=

.PHONY: build run test test-release test-asan test-tsan expected bench fuzz demo plots clean

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Start Korvo in a scratch folder prepared from the example models (builds
# korvo only; installs the compiler, CMake and GoogleTest when missing).
run:
	@.ci/deps.sh build
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target korvo
	mkdir -p run
	cp -n examples/*.dat examples/*.in examples/*.txt run/ 2>/dev/null || true
	cd run && ../$(BUILD)/korvo

# Run the stability example session (threshold search on stability.dat) in a
# scratch folder and print the report it writes.
demo: build
	rm -rf demo
	mkdir -p demo
	cp examples/*.dat examples/stability_threshold.in demo/
	cd demo && ../$(BUILD)/korvo < stability_threshold.in > session.log
	cat demo/stabil_4.out

test:
	@.ci/deps.sh build plots
	$(MAKE) test-release test-asan test-tsan

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVO_SANITIZE=ON -DKORVO_NATIVE=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The thread sanitizer on the sweeps that run on worker threads (the small
# pedestal rotor: the full-size session takes minutes under it).
test-tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVO_TSAN=ON -DKORVO_NATIVE=OFF $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target korvo test_sessions
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ./test_sessions --gtest_filter='Threads.Pedestal*'

# Rewrites the expected files of the session tests (tests/expected/) from the
# program's output; read the diff of every rewritten file before committing.
expected: build
	cd $(BUILD) && KORVO_REGENERATE=1 ./test_sessions --gtest_filter='Sessions.*'
	git status --short tests/expected

# Numerical routines, then every analysis as a session on full-size models,
# against LAPACK (OpenBLAS, a benchmark-only dependency,
# installed here when missing). OPENBLAS_CORETYPE and OPENBLAS_L2_SIZE are
# cleared for this command only, so OpenBLAS picks its own kernels.
# Portable figures: make bench CMAKE_FLAGS=-DKORVO_NATIVE=OFF
BENCH_BUILD ?= build-bench
bench:
	@if ! ls /usr/lib/*/openblas-pthread/libopenblas.so >/dev/null 2>&1; then \
	  export DEBIAN_FRONTEND=noninteractive; \
	  apt-get update && apt-get install -y --no-install-recommends libopenblas-pthread-dev; \
	fi
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVO_BENCH=ON -DKORVO_TESTS=OFF -DKORVO_NATIVE=ON $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target bench_numerics bench_full_size korvo
	env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE $(BENCH_BUILD)/bench_numerics
	env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE $(BENCH_BUILD)/bench_full_size

# Fuzz targets (clang, libFuzzer; installed here when missing), built in
# build-fuzz and run FUZZ_SECONDS each (default 60). See fuzz/run.sh.
FUZZ_SECONDS ?= 60
fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) fuzz/run.sh

# Run the example sessions in a scratch folder and draw every kind of
# picture from their files with korvo-plot (installs gnuplot when missing).
PICTURES ?= pictures
plots:
	@.ci/deps.sh build plots
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target korvo korvo-plot
	plots/draw_examples.sh $(BUILD) $(PICTURES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench build-fuzz run demo $(PICTURES)

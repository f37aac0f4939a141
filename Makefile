# Korvo: build, run and test.
JOBS ?= 2
BUILD := build
ASAN_BUILD := build-asan
CMAKE_FLAGS ?=

.PHONY: build run test test-release test-asan bench demo clean

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# Start Korvo in a scratch folder prepared from the example models.
run: build
	mkdir -p run
	cp -n examples/*.dat examples/*.in run/ 2>/dev/null || true
	cd run && ../$(BUILD)/korvo

test: test-release test-asan

test-release: build
	cd $(BUILD) && ctest --output-on-failure

test-asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVO_SANITIZE=ON -DKORVO_NATIVE=OFF $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench run demo

# make run  - install missing packages, build, start the barcode maker
# make test - install missing packages, build with sanitizers, run every test
JOBS ?= 2

.PHONY: deps build run test bench clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELEAN13_TESTS=OFF
	cmake --build build -j$(JOBS)

run: build
	mkdir -p build/run
	cp -f resources/VelEAN13.htm build/run/
	cd build/run && ../app/velean13

test: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELEAN13_SANITIZE=ON
	cmake --build build-test -j$(JOBS)
	bash scripts/with-services.sh ctest --test-dir build-test --output-on-failure -j$(JOBS)

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELEAN13_TESTS=OFF -DVELEAN13_BENCH=ON
	cmake --build build-bench -j$(JOBS)
	for b in build-bench/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf build build-test build-bench

# make run  - install missing packages, build, start the barcode maker
# make test - install missing packages, build with sanitizers, run every test
# make deb  - install missing packages, build the Debian package velean13_<version>_<arch>.deb
JOBS ?= 2

.PHONY: deps build run test bench deb clean

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

# A Release build installed under /usr with Debian's hardening flags, packed by CPack; the
# package lands in this folder.
deb: deps
	cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELEAN13_TESTS=OFF \
	  -DCMAKE_INSTALL_PREFIX=/usr \
	  "-DCMAKE_CXX_FLAGS=$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)"
	cmake --build build-deb -j$(JOBS)
	rm -rf build-deb/package velean13_*.deb
	cd build-deb && cpack -G DEB -B package
	cp build-deb/package/velean13_*.deb .

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELEAN13_TESTS=OFF -DVELEAN13_BENCH=ON
	cmake --build build-bench -j$(JOBS)
	for b in build-bench/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf build build-test build-bench build-deb velean13_*.deb

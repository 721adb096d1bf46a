# Thin wrapper over CMake: `make test` installs what is missing, builds and
# runs every test; `make run` starts the program; `make bench` measures.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Extra CMake options, e.g. -DCMAKE_COMPILE_WARNING_AS_ERROR=ON in CI.
CMAKE_EXTRA ?=
cmake_configure = cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) $(CMAKE_EXTRA)

.PHONY: all build run test bench bench-startup lint screenshot clean

all: build

# Building and running need only the program's packages, and configure
# without the tests unless this build folder already has them.
build:
	./scripts/install-deps.sh run
	$(cmake_configure) $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(BUILD)

# Exit code 1: no graphical session answered (the program says what it tried).
run: build
	$(BUILD)/app/quorvane || { status=$$?; [ $$status != 1 ] || echo "Without a desktop: xvfb-run -a make run" >&2; exit $$status; }

# Everything below needs the tests' packages and a build with the tests.
.PHONY: build-tests
build-tests:
	./scripts/install-deps.sh test
	$(cmake_configure) -DBUILD_TESTING=ON
	cmake --build $(BUILD)

test: build-tests
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error
	./scripts/sanitize.sh $(SANITIZE_BUILD) $(FUZZ_BUILD) $(CMAKE_EXTRA)

bench: build-tests web
	$(BUILD)/bench/quorvane_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/quorvane_window_bench
	./bench/start_stress.sh $(BUILD)/app/quorvane 100
	./scripts/install-deps.sh web-test
	/usr/bin/python3 bench/web_bench.py $(WEB_BUILD)/web/site

bench-startup: build-tests
	./bench/startup.sh $(BUILD)

screenshot: build-tests
	./scripts/screenshot.sh $(BUILD)/app/quorvane docs/screenshot.png

# The developer's checks: format, clang-tidy and cppcheck over our own code.
lint: build-tests
	./scripts/install-deps.sh lint
	./scripts/lint.sh $(BUILD)

# The Windows program, cross-built with mingw-w64 against a Qt for Windows
# that is built once into ~/.cache/quorvane: a portable zip and an installer.
# Like `make build`, it keeps the tests if this build folder has them.
WINDOWS_BUILD ?= build-windows
windows_configure = qt=$$(./scripts/windows-qt.sh) && cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$$qt/lib/cmake/Qt6/qt.toolchain.cmake" $(CMAKE_EXTRA)
.PHONY: windows windows-test
windows:
	./scripts/install-deps.sh windows
	$(windows_configure) $(if $(wildcard $(WINDOWS_BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	cmake --build $(WINDOWS_BUILD)
	cd $(WINDOWS_BUILD) && cpack

# The same, with the tests (GoogleTest for Windows is cached beside Qt), run
# under wine on a private X server: the unit and window tests, then the
# installer, the installed program and its uninstaller.
windows-test:
	./scripts/install-deps.sh windows-test
	$(windows_configure) -DBUILD_TESTING=ON -DQT_ADDITIONAL_PACKAGES_PREFIX_PATH="$$(./scripts/windows-googletest.sh)" \
	    -DCMAKE_CROSSCOMPILING_EMULATOR="$(CURDIR)/scripts/wine.sh;$$qt" -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST
	$(MAKE) windows
	./scripts/windows-test.sh $(WINDOWS_BUILD)
	./scripts/windows-other-checkout.sh "$$(./scripts/windows-qt.sh)"

# The page: the window's behaviour as WebAssembly with its static files, in
# build-web/web/site, which any static host can serve. Like `make build`, it
# keeps the tests if this build folder has them.
WEB_BUILD ?= build-web
WEB_PORT ?= 8080
# emscripten's optimizer finds Debian's acorn through NODE_PATH.
web_configure = NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR=$$(command -v node) $(CMAKE_EXTRA)
.PHONY: web web-test web-run
web:
	./scripts/install-deps.sh web
	$(web_configure) $(if $(wildcard $(WEB_BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF)
	NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD)

# The Qt-free tests under node, then the page in Chromium, WebKit and Firefox.
web-test:
	./scripts/install-deps.sh web-test
	$(web_configure) -DBUILD_TESTING=ON
	$(MAKE) web
	ctest --test-dir $(WEB_BUILD) --output-on-failure --no-tests=error

web-run: web
	@echo "Quorvane is at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops it)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB_BUILD)/web/site

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) $(WEB_BUILD)

# Thin wrapper over CMake: `make test` installs what is missing, builds and
# runs every test; `make run` starts the program; `make bench` measures.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build lint test run bench bench-startup screenshot clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

lint: build
	./scripts/lint.sh $(BUILD)

test: build lint
	ctest --test-dir $(BUILD) --output-on-failure
	./scripts/sanitize.sh $(SANITIZE_BUILD)

run: build
	$(BUILD)/app/quorvane

bench: build
	$(BUILD)/bench/quorvane_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/quorvane_window_bench

bench-startup: build
	./bench/startup.sh $(BUILD)

screenshot: build
	./scripts/screenshot.sh $(BUILD)/app/quorvane docs/screenshot.png

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)

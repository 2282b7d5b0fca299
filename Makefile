# Entry points for people and CI. The scripts install whatever a fresh Debian machine lacks.
.PHONY: all deps build build-host build-windows dist test run stop screenshot screenshots bench fuzz format clean

all: build

deps:
	@scripts/install-deps.sh

build-host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host

build-windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

build: build-host build-windows

# The installer and the portable zip, in dist/.
dist: build-windows
	cmake --build --preset windows --target dist
	@ls -l dist/

test: deps
	@scripts/test-all.sh

run: build-windows
	@scripts/run.sh start

stop:
	@scripts/run.sh stop

screenshot:
	@scripts/run.sh screenshot

screenshots: deps
	@scripts/screenshots.sh

bench: build-windows
	@scripts/bench.sh

fuzz: deps
	@scripts/fuzz.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build dist

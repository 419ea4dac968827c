# Two commands for a fresh Debian 12 machine: `make demo` and `make test`.
.PHONY: all deps build build-windows test demo bench install clean artwork format check-format editor-references

all: build

deps:
	./scripts/install-deps.sh

build: deps
	cmake --preset linux
	cmake --build --preset linux

# The Windows module, cross-built with mingw-w64; its tests run under Wine.
build-windows: deps
	./scripts/fetch-libpng-source.sh
	cmake --preset windows
	cmake --build --preset windows

test: build build-windows check-format
	ctest --preset linux
	ctest --preset windows

# A synthesised phrase through three factory presets of the real module, via halvane-render.
RENDER := ./build/tools/render/halvane-render

demo: build
	mkdir -p out
	./build/tools/demo/halvane-demo-phrase out/demo-phrase.wav
	$(RENDER) --preset "Very Large - Stadium" out/demo-phrase.wav out/very-large-stadium.wav
	$(RENDER) --preset "Small - Chamber" out/demo-phrase.wav out/small-chamber.wav
	$(RENDER) --preset "FX - Ocean" out/demo-phrase.wav out/fx-ocean.wav

# Repaints the editor's images into effect/resources (committed; the build embeds them).
artwork: build
	./build/tools/artwork/halvane-artwork effect/resources
	cmake --build --preset linux

# Redraws the editor pictures the tests compare with (tests/editor/references), on each platform with its
# own text rendering. Only on purpose: when the artwork or the way the editor draws changes.
EDITOR_REFERENCE_STATES := defaults hover-time stereo-position-popup
editor-references: build build-windows
	./build/tools/preview/halvane-editor-preview build/editor-preview.png \
	  tests/editor/references/linux $(EDITOR_REFERENCE_STATES)
	HALVANE_WINE_BUILD_ROOT=$(CURDIR)/build-windows ./cmake/wine-run.sh build-windows/tools/preview/halvane-editor-preview.exe build-windows/editor-preview.png \
	  tests/editor/references/windows $(EDITOR_REFERENCE_STATES)

install: build
	cmake --install build

bench: build
	./build/bench/halvane-bench

# clang-format over every tracked C++ file; `make test` fails when one is not formatted.
format: deps
	./scripts/check-format.sh --fix

check-format: deps
	./scripts/check-format.sh

clean:
	rm -rf build build-windows out

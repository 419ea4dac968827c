# Two commands for a fresh Debian 12 machine: `make demo` and `make test`.
.PHONY: all deps build build-windows build-asan build-tsan test validate fuzz demo bench install clean artwork \
	format check-format package editor-references

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

# The Linux tree again under AddressSanitizer and UndefinedBehaviorSanitizer (clang), with the fuzz
# targets; and the thread tests under ThreadSanitizer.
build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

build-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

# Every suite: Linux, Windows under Wine, the whole Linux suite sanitized (with a short run of each
# fuzz target), the thread tests under ThreadSanitizer, and Steinberg's validator on both bundles.
test: build build-windows build-asan build-tsan check-format
	ctest --preset linux
	ctest --preset windows
	ctest --preset asan
	ctest --preset tsan
	./scripts/run-validator.sh

validate:
	./scripts/run-validator.sh

# Each fuzz target for FUZZ_SECONDS (default five minutes), from the committed corpus; new inputs and
# crashes land in build-asan/tests/fuzz/work/. FUZZERS picks targets, FUZZ_FLAGS adds libFuzzer options
# (FUZZ_FLAGS=-fork=2 for both cores).
FUZZ_SECONDS ?= 300
FUZZERS ?= state_fuzzer host_calls_fuzzer editor_events_fuzzer editor_drawing_fuzzer preset_file_fuzzer \
	render_options_fuzzer
FUZZ_FLAGS ?=

fuzz: build-asan
	for f in $(FUZZERS); do \
	  tests/fuzz/run-fuzzer.sh build-asan/tests/fuzz/$$f build-asan/tests/fuzz/work/$$f tests/fuzz/corpus/$$f \
	    -max_total_time=$(FUZZ_SECONDS) $(FUZZ_FLAGS) || exit 1; \
	done

# A synthesised phrase through three factory presets of the real module, via halvane-render, each
# with a plot of how it decays after the phrase.
RENDER := ./build/tools/render/halvane-render

demo: build
	mkdir -p out
	./build/tools/demo/halvane-demo-phrase out/demo-phrase.wav
	$(RENDER) --preset "Very Large - Stadium" --plot out/very-large-stadium.png out/demo-phrase.wav out/very-large-stadium.wav
	$(RENDER) --preset "Small - Chamber" --plot out/small-chamber.png out/demo-phrase.wav out/small-chamber.wav
	$(RENDER) --preset "FX - Ocean" --plot out/fx-ocean.png out/demo-phrase.wav out/fx-ocean.wav

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

# The bundle into ~/.vst3 and the factory presets into ~/.vst3/presets/Vorkesh/Halvane.
install: build
	cmake --install build

# Release archives of both platforms in dist/, unpacked again and checked.
package: build build-windows
	./scripts/package.sh
	./scripts/check-package.sh

# Five repetitions each; the summary takes their medians, which move less from run to run.
bench: build
	./build/bench/halvane-bench
	./build/bench/halvane-peer-bench --benchmark_repetitions=5
	./build/bench/halvane-editor-bench

# clang-format over every tracked C++ file; `make test` fails when one is not formatted.
format: deps
	./scripts/check-format.sh --fix

check-format: deps
	./scripts/check-format.sh

clean:
	rm -rf build build-windows build-asan build-tsan out dist

# The two commands that matter: `make demo` runs the main job, `make test` runs every test.
BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all bootstrap configure build test demo bench install install-built uninstall check-sanitize check-thread clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	@mkdir -p out
	@./$(BUILD)/tonnik render -o out/demo.wav
	@./$(BUILD)/tonnik editor -o out/editor.png
	@csvmidi resources/demo/groove.csv out/groove.mid
	@./$(BUILD)/tonnik render -q --midi out/groove.mid -o out/groove.wav --plot out/groove.png --set Decay=0.6 --set DynLevel=0.5
	@./$(BUILD)/tonnik export-kit -q -o out/kit --notes 36 --velocities 4 --set DynLevel=0.5

bench: build
	@for b in $(BUILD)/bench/*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; done

# `make install` puts the programs, their desktop entry, icon, images and man pages under PREFIX
# (default ~/.local), the LV2, VST 3 and CLAP plug-ins in PREFIX/lib/lv2, lib/vst3 and lib/clap
# (default ~/.lv2, ~/.vst3 and ~/.clap, where hosts look for a user's plug-ins); `make uninstall`
# removes exactly what it put there (scripts/install-files keeps the list in MANIFEST).
# `make install-built` installs without building first.
INSTALL_ROOT = $(if $(PREFIX),$(PREFIX),$(HOME)/.local)
LV2_DEST     = $(if $(PREFIX),$(PREFIX)/lib/lv2,$(HOME)/.lv2)
VST3_DEST    = $(if $(PREFIX),$(PREFIX)/lib/vst3,$(HOME)/.vst3)
CLAP_DEST    = $(if $(PREFIX),$(PREFIX)/lib/clap,$(HOME)/.clap)
SHARE_DIR    = $(INSTALL_ROOT)/share
ICON_DIR     = $(SHARE_DIR)/icons/hicolor
MANIFEST     = $(SHARE_DIR)/tonnik/installed-files
# One line per artefact: what the build or the tree holds = where it goes [= mode]; a folder is
# copied whole.
INSTALL_FILES = \
	$(BUILD)/tonnik-standalone=$(INSTALL_ROOT)/bin/tonnik-standalone=755 \
	$(BUILD)/tonnik=$(INSTALL_ROOT)/bin/tonnik=755 \
	$(BUILD)/lv2/tonnik.lv2=$(LV2_DEST)/tonnik.lv2 \
	$(BUILD)/vst3/TONNIK-PRO.vst3=$(VST3_DEST)/TONNIK-PRO.vst3 \
	$(BUILD)/clap/tonnik.clap=$(CLAP_DEST)/tonnik.clap \
	$(BUILD)/clap/tonnik-resources=$(CLAP_DEST)/tonnik-resources \
	resources/img=$(SHARE_DIR)/tonnik/img \
	resources/desktop/tonnik-standalone.desktop=$(SHARE_DIR)/applications/tonnik-standalone.desktop \
	resources/icons/tonnik-standalone-48.png=$(ICON_DIR)/48x48/apps/tonnik-standalone.png \
	resources/icons/tonnik-standalone-128.png=$(ICON_DIR)/128x128/apps/tonnik-standalone.png \
	resources/icons/tonnik-standalone-256.png=$(ICON_DIR)/256x256/apps/tonnik-standalone.png \
	resources/man/tonnik.1=$(SHARE_DIR)/man/man1/tonnik.1 \
	resources/man/tonnik-standalone.1=$(SHARE_DIR)/man/man1/tonnik-standalone.1

install: build
	@$(MAKE) --no-print-directory install-built

install-built:
	@scripts/install-files install "$(MANIFEST)" $(INSTALL_FILES)

uninstall:
	@scripts/install-files uninstall "$(MANIFEST)"

# Tests under AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded fuzzing run.
check-sanitize: bootstrap
	@cmake -S . -B build-asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DTONNIK_SANITIZE=address,undefined -DTONNIK_BENCH=OFF >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j $(JOBS)
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONNIK_FUZZ=ON -DTONNIK_BENCH=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@for f in build-fuzz/fuzz/*; do \
	  if [ -x "$$f" ]; then \
	    log="build-fuzz/$$(basename $$f).log"; \
	    if "$$f" -max_total_time=30 > "$$log" 2>&1; then echo "fuzz $$(basename $$f): clean for 30 s"; \
	    else tail -40 "$$log"; exit 1; fi; \
	  fi; \
	done

# Tests under ThreadSanitizer.
check-thread: bootstrap
	@cmake -S . -B build-tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONNIK_SANITIZE=thread -DTONNIK_BENCH=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz out

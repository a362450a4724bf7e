BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: run test build programs deps configure sanitize fuzz install deb deb-check

PREFIX ?= /usr/local

deps:
	@sh scripts/install-deps.sh

# CMAKE_FLAGS: more options for the first configure (CI: -DTELBORA_WERROR=ON).
$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# Only the two programs: what the user runs.
programs: configure
	cmake --build $(BUILD) --target telbora telbora-contacts

# The phone book lives in ~/.local/share/telbora (or TELBORA_DIR), never in the build folder.
run: programs
	$(BUILD)/telbora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
	@lpstat -p TelboraPDF >/dev/null 2>&1 || \
	  echo "Note: no CUPS queue TelboraPDF, so the journey to a real queue (tst_printing_cups) was skipped; .ci/run sets it up."

# The programs, the menu entry, the icon, the metainfo and the manual pages
# under PREFIX (DESTDIR as usual).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in build/: telbora_VERSION_ARCH.deb, built from what it holds alone.
deb: configure
	cmake --build $(BUILD) --target packaged
	cd $(BUILD) && cpack -G DEB

# The package as Debian's lintian sees it: an error or a warning fails.
deb-check: deb
	@EXTRA_PACKAGES="lintian" sh scripts/install-deps.sh
	lintian --fail-on error,warning $(BUILD)/telbora_*.deb

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer, leak checking on.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTELBORA_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j2

# Under libFuzzer for FUZZ_SECONDS each: the store, the contacts readers with
# their round trip, the find box's search, telephone numbers, the printer
# settings, the encoding check with the conversion, the postal table and the
# lock file.
# New inputs go to the build folder; the seeds in fuzz/corpus* stay as they are.
FUZZERS = store contacts search numbers ini encoding postal lock people
fuzz:
	@EXTRA_PACKAGES="clang libclang-rt-14-dev" sh scripts/install-deps.sh
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELBORA_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) --target $(addprefix fuzz_,$(FUZZERS))
	for f in $(FUZZERS); do \
	  seeds=fuzz/corpus-$$f; [ $$f = store ] && seeds=fuzz/corpus; \
	  mkdir -p $(FUZZ_BUILD)/corpus-$$f && \
	  ASAN_OPTIONS=detect_leaks=1 $(FUZZ_BUILD)/fuzz/fuzz_$$f $(FUZZ_BUILD)/corpus-$$f $$seeds \
	    -artifact_prefix=$(FUZZ_BUILD)/ -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 || exit 1; \
	done

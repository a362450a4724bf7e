BUILD ?= build

.PHONY: run test build deps configure

deps:
	@sh scripts/install-deps.sh

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/telbora

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
	@lpstat -d 2>/dev/null | grep -q "system default destination" || \
	  echo "Note: no default printer, so the journey to a real CUPS queue (tst_printing_cups) was skipped; .ci/run sets one up."

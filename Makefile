# The kit's two commands, `make test` and `make run` (README.md), and the steps they are
# made of, each of which can also be run alone (`make tree-win32`, `make wine-tests`, ...).
#
# Four build trees under build/: native (logic, unit tests, printer simulator), asan (the
# same with AddressSanitizer and UBSan), win64 (x86_64 Windows, run under wine64 by the
# end-to-end tests) and win32 (i686 Windows: the product).

SHELL := /bin/bash
.SHELLFLAGS := -eo pipefail -c

BUILD := $(CURDIR)/build
JOBS := 2
RESULTS := $(BUILD)/results
TREES := tree-native tree-asan tree-win64 tree-win32

CMAKE_ARGS_native := -DCMAKE_BUILD_TYPE=Debug
CMAKE_ARGS_asan := -DCMAKE_BUILD_TYPE=Debug -DKIT_SANITIZE=ON
# The Wine tests find the printer simulator in the native tree, and both Windows trees'
# resources take the artwork that the native tree draws (tools/artwork).
CMAKE_ARGS_win64 := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-x86_64.cmake \
	-DCMAKE_BUILD_TYPE=Release -DKIT_NATIVE_BUILD_DIR=$(BUILD)/native \
	-DKIT_ARTWORK_DIR=$(BUILD)/native/artwork
CMAKE_ARGS_win32 := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-i686.cmake \
	-DCMAKE_BUILD_TYPE=Release -DKIT_ARTWORK_DIR=$(BUILD)/native/artwork

CTEST := ctest --output-on-failure --no-tests=error

.PHONY: test run bootstrap test-steps $(TREES) simulator unit-native unit-asan wine-tests \
	check-win32 clean

# Every step that can run does (make -k): a failing unit test does not hide the Wine tests'
# results. The summary names the steps that did not pass, and the exit status is then non-zero.
test: bootstrap
	rm -rf $(RESULTS)
	status=0; $(MAKE) --no-print-directory -k test-steps || status=$$?; \
	bash scripts/test_summary.sh $(RESULTS) || status=1; \
	exit $$status

test-steps: $(TREES) unit-native unit-asan wine-tests check-win32

run: bootstrap tree-native tree-win64
	bash scripts/run.sh

bootstrap:
	bash scripts/bootstrap.sh

$(TREES): tree-%:
	cmake -S . -B $(BUILD)/$* $(CMAKE_ARGS_$*)
	cmake --build $(BUILD)/$* -j$(JOBS)

unit-native: tree-native
	$(CTEST) --test-dir $(BUILD)/native -L unit -j$(JOBS) --output-junit $(RESULTS)/unit-native.xml

unit-asan: tree-asan
	$(CTEST) --test-dir $(BUILD)/asan -L unit -j$(JOBS) --output-junit $(RESULTS)/unit-asan.xml

# The Wine tests talk to the printer simulator of the native tree. It is built on its own so
# that a unit test that does not compile does not hold the Wine tests back.
simulator:
	cmake -S . -B $(BUILD)/native $(CMAKE_ARGS_native)
	cmake --build $(BUILD)/native -j$(JOBS) --target printer_simulator_server

wine-tests: tree-win64 simulator
	$(CTEST) --test-dir $(BUILD)/win64 -L wine -j$(JOBS) --output-junit $(RESULTS)/wine.xml

check-win32: tree-win32
	bash scripts/check_win32.sh $(BUILD)/win32 $(RESULTS)/check-win32.txt

clean:
	rm -rf $(BUILD)

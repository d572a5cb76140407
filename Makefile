# The two set-up-and-go commands: `make run` and `make test`. Both install
# whatever Debian packages are missing, configure and build first.
BUILD ?= build
ASAN_BUILD ?= build-asan
FILE ?=
# Warnings fail the build (the tree builds clean with the Debian compiler).
WERROR ?= ON
# `make test SANITIZE=OFF` leaves out the sanitizer build and its tests.
SANITIZE ?= ON
JOBS ?= $(shell nproc)
# locales-all: the decimal-comma locales the number-text tests switch to.
# libsuitesparse-dev: COLAMD, the pivot order of the sparse factorisation.
# qt6-base-dev: the desktop program voq (Qt 6 Widgets, with QtTest for its
# window tests); fonts-dejavu-core: the font the windows and their offscreen
# tests draw text in; poppler-utils: pdftotext and pdftoppm, which read the
# printed PDF pages back in the print tests; texlive-latex-base and
# texlive-fonts-recommended: pdflatex with the packages and Times fonts of
# the LaTeX report's preamble, which the report's tests typeset. lld: the
# linker (CMake uses it when installed; a link takes about 1.4 s instead of
# 3.5 s). xvfb, openbox, xdotool, x11-apps (xwd), x11-utils (xprop, xwininfo)
# and xclip: the end-to-end check of the desktop program in a real X server
# (tools/gui_end_to_end.sh).
PACKAGES := cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev ccache locales-all \
  libsuitesparse-dev qt6-base-dev libgl-dev fonts-dejavu-core poppler-utils lld \
  texlive-latex-base texlive-fonts-recommended xvfb openbox xdotool x11-apps x11-utils xclip

# Every test run: the comma-locale tests must run, not skip; an allocation
# the sanitizer cannot serve fails as it does in a normal build (the handle
# tests ask for more than it will ever give); undefined behaviour stops the
# program with its stack.
TEST_ENV := VOQ_REQUIRE_COMMA_LOCALE=1 QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=allocator_may_return_null=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: run test test-release test-gui test-shuffled test-asan build-asan build deps configure bench fuzz clean

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	  $$SUDO apt-get update -q && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -q --no-install-recommends $$missing; \
	fi

# Configured every time (it takes a second), so a changed option reaches an
# existing build folder too. The benchmarks build with the rest; `make bench`
# runs them.
configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOQ_WERROR=$(WERROR) -DVOQ_BUILD_BENCH=ON

build: configure
	cmake --build $(BUILD)

# Only the program it runs: a fresh clone need not build every test first.
# Without a display (neither DISPLAY nor WAYLAND_DISPLAY) the desktop program
# cannot open a window: the example is solved by voq-solve instead.
run: configure
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY unset): solving the example with voq-solve instead of opening voq."; \
	  cmake --build $(BUILD) --target voq-solve && \
	  $(BUILD)/voq-solve $(or $(FILE),examples/wall_heat_loss.txt); \
	else \
	  cmake --build $(BUILD) --target voq && \
	  $(BUILD)/voq $(or $(FILE),examples/wall_heat_loss.txt); \
	fi

test: build
	@$(MAKE) --no-print-directory test-release
	@$(MAKE) --no-print-directory test-gui
	@$(MAKE) --no-print-directory test-shuffled
ifeq ($(SANITIZE),ON)
	@$(MAKE) --no-print-directory test-asan
endif

# The Release build's tests, each test its own process.
test-release: build
	cd $(BUILD) && $(TEST_ENV) ctest --output-on-failure -j$(JOBS) --timeout 300

# The built program driven by keys in Xvfb with a window manager; its
# screenshots go to $(BUILD)/test_output/gui. It stops what it starts and
# fails with the window or the text it waited for in vain. Every step waits
# for the state it needs (the window that must take the keys active, the
# text the editor holds), so it runs the same on a loaded 2-core machine;
# about 25 s.
test-gui: build
	timeout 300 tools/gui_end_to_end.sh $(BUILD) $(BUILD)/test_output/gui

# Each test binary once more in one process, its tests in a random order and
# twice over, so a test that leans on another's leftovers fails. The seed is
# printed: --gtest_random_seed=SEED repeats the order.
test-shuffled: build
	@cd $(BUILD) && seed=$$(( $$(date +%s) % 99999 + 1 )); \
	for t in test_*; do \
	  [ -f "$$t" ] && [ -x "$$t" ] || continue; \
	  echo "== $(BUILD)/$$t --gtest_shuffle --gtest_repeat=2 --gtest_random_seed=$$seed"; \
	  $(TEST_ENV) ./$$t --gtest_shuffle --gtest_repeat=2 --gtest_random_seed=$$seed --gtest_brief=1 || exit 1; \
	done

# The tests again, built with AddressSanitizer (with its leak check) and
# UndefinedBehaviorSanitizer: the engine lightly optimised (-O1), the test
# code not at all (-O0), line tables only (-g1: the stacks still name file
# and line). Each test binary runs as one process (test_voq_solve and
# test_shell in shards), since every sanitizer process pays its start and
# its leak check at exit; a leak is still reported when the process ends.
build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" \
	  -DVOQ_TEST_OPTIMIZATION=-O0 -DVOQ_WERROR=$(WERROR) -DVOQ_SANITIZE=address,undefined
	cmake --build $(ASAN_BUILD)

test-asan: build-asan
	cd $(ASAN_BUILD) && $(TEST_ENV) ctest --output-on-failure -j$(JOBS) --timeout 1800

# The libFuzzer harnesses (fuzz/), each run for FUZZ_SECONDS with
# FUZZ_JOBS processes, in build-fuzz/ (clang, AddressSanitizer, UBSan). Not
# part of `make test`. The grown corpus stays in build-fuzz/corpus; crashes,
# timeouts and leaks are written to build-fuzz/findings. Warnings are the
# Debian gcc build's to police; clang's own do not stop the fuzzing.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_JOBS ?= 3
FUZZ_CXX ?= clang++-14
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev
FUZZ_FLAGS = -max_total_time=$(FUZZ_SECONDS) -jobs=$(FUZZ_JOBS) -workers=$(FUZZ_JOBS) \
  -rss_limit_mb=2048 -artifact_prefix=$(abspath $(FUZZ_BUILD))/findings/

fuzz: deps
	@$(MAKE) --no-print-directory deps PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g" \
	  -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) -DVOQ_SANITIZE=address,undefined -DVOQ_BUILD_FUZZ=ON \
	  -DVOQ_BUILD_TESTS=OFF -DVOQ_WERROR=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_equations fuzz_number_text fuzz_documents make_document_seeds
	mkdir -p $(FUZZ_BUILD)/corpus/equations $(FUZZ_BUILD)/corpus/number_text $(FUZZ_BUILD)/corpus/documents \
	  $(FUZZ_BUILD)/findings $(FUZZ_BUILD)/logs
	$(FUZZ_BUILD)/make_document_seeds $(FUZZ_BUILD)/seeds/documents $(CURDIR)
	cd $(FUZZ_BUILD)/logs && ASAN_OPTIONS=allocator_may_return_null=1 ../fuzz_equations $(FUZZ_FLAGS) \
	  -max_len=8192 -timeout=20 ../corpus/equations $(CURDIR)/fuzz/regressions/equations \
	  $(CURDIR)/examples $(CURDIR)/tests/cases
	cd $(FUZZ_BUILD)/logs && ../fuzz_number_text $(FUZZ_FLAGS) -max_len=256 \
	  ../corpus/number_text $(CURDIR)/fuzz/regressions/number_text $(CURDIR)/fuzz/seeds/number_text
	cd $(FUZZ_BUILD)/logs && ASAN_OPTIONS=allocator_may_return_null=1 ../fuzz_documents $(FUZZ_FLAGS) \
	  -max_len=65536 -timeout=60 ../corpus/documents $(CURDIR)/fuzz/regressions/documents ../seeds/documents

bench: configure
	cmake --build $(BUILD) --target voq_bench
	$(BUILD)/voq_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

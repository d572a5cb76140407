# The two set-up-and-go commands: `make run` and `make test`. Both install
# whatever Debian packages are missing, configure and build first.
BUILD ?= build
BENCH_BUILD ?= build-bench
FILE ?=
PACKAGES := cmake ninja-build g++ make libgtest-dev libgmock-dev libbenchmark-dev ccache

.PHONY: run test build deps configure bench clean

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

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release; \
	fi

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/voq-solve $(or $(FILE),examples/wall_heat_loss.txt)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2 --timeout 300

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOQ_BUILD_BENCH=ON -DVOQ_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) --target voq_bench
	$(BENCH_BUILD)/voq_bench

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)

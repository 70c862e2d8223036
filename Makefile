# Set-up, build, test and run in two commands: `make run` and `make test`.
# Both install what is missing (Debian packages), configure and build first.

BUILD      ?= build
SAN_BUILD  ?= build-san
JOBS       ?= $(shell nproc)
# Two compilers more than there are cores: one waiting on the disk or the linker leaves no core
# idle, and on a machine other programs keep busy the build keeps its share of the cores.
BUILD_JOBS ?= $(shell echo $$(( $(JOBS) + 2 )))
# The GUI tests mostly wait for their server and their own timers: twice as many as there are
# cores keep the cores busy. Each runs on an Xvfb server of its own (scripts/run-gui-tests).
GUI_JOBS   ?= $(shell echo $$(( $(JOBS) * 2 )))
FUZZ_SECONDS ?= 20

# What building and running the calculator needs, and what the tests need beside it.
RUN_PACKAGES  := build-essential cmake pkg-config libgtk2.0-dev libx11-dev libxext-dev libsndfile1 \
                 libasound2 fonts-dejavu-core xvfb xauth xdotool imagemagick x11-utils
TEST_PACKAGES := googletest libgtest-dev libbenchmark-dev zlib1g-dev libxdamage-dev libxfixes-dev clang \
                 at-spi2-core libatk-adaptor python3-pyatspi dbus-x11 libsqlite3-dev openbox cups \
                 poppler-utils python3 locales

# Installs those of the packages $(1) that are missing, with apt-get (as root, or through sudo).
define install_missing
missing=""; for p in $(1); do \
  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
done; \
if [ -n "$$missing" ]; then \
  echo "Installing:$$missing"; \
  if [ "$$(id -u)" = 0 ]; then SUDO=""; else SUDO=sudo; fi; \
  $$SUDO apt-get update -qq && \
  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
fi
endef

# Every step runs on all cores by itself, and the steps of `test` follow one another.
.NOTPARALLEL:

.PHONY: all run-deps deps build san test check-layers unit-test gui-test asan-test fuzz-test run clean

all: build

run-deps:
	@$(call install_missing,$(RUN_PACKAGES))

deps:
	@$(call install_missing,$(RUN_PACKAGES) $(TEST_PACKAGES))

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_TESTS=ON -DVORN_BENCH=ON -DVORN_LINE_TABLES_ONLY=ON
	cmake --build $(BUILD) -j $(BUILD_JOBS)

# One clang tree for everything that runs under AddressSanitizer and UndefinedBehaviorSanitizer:
# the unit tests with what they start, the program that holds the GUI table, and the libFuzzer
# programs, so that the runtime is compiled once for all three. At -O1 the sanitizers' code is
# both quicker to compile and quicker to run than at -O0; assertions stay on.
san: deps
	CC=clang CXX=clang++ cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 \
	  -DVORN_SANITIZE=ON -DVORN_FUZZ=ON -DVORN_TESTS=ON -DVORN_BENCH=OFF
	cmake --build $(SAN_BUILD) -j $(BUILD_JOBS) --target vorn_unit_tests controls_gui_tests vorn_fuzz_targets

# No room may include a higher one (docs/architecture.md); cheap, so it runs first.
check-layers:
	./scripts/check-layers

unit-test: build
	cd $(BUILD) && ctest -L unit -j $(JOBS) --output-on-failure

gui-test: build
	./scripts/run-gui-tests $(BUILD) $(GUI_JOBS)

# The unit tests, and the GUI table of handlers that close their window mid-event, which is
# where a read of freed memory would hide (GTK's own caches would read as leaks there).
asan-test: san
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest -L unit -j $(JOBS) --output-on-failure
	ASAN_OPTIONS=detect_leaks=0 ./scripts/run-gui-tests $(SAN_BUILD) $(GUI_JOBS) -R CloseInEventTest

# Each target starts from its corpus (which the unit tests of the main tree replay too) and
# then mutates for FUZZ_SECONDS.
fuzz-test: san
	./scripts/run-fuzzers $(SAN_BUILD) $(FUZZ_SECONDS)

# One make for all four, so that each tree is configured and brought up to date once.
test: check-layers build
	$(MAKE) unit-test gui-test asan-test fuzz-test

# Running needs the runtime, the image tool and the calculator's image, nothing else.
run: run-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(BUILD_JOBS) --target calculator
	./scripts/run-calculator $(BUILD)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)

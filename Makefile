# make run  : install what is missing, build the program, and start it in a folder of sample pictures
# make test : install what is missing, build everything, and run every test on the offscreen platform
# make test-desktop : the window tests again on a virtual screen under a window manager
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
SAMPLES    ?= sample-pictures

.PHONY: run test test-desktop test-sanitize test-thread fuzz setup build build-program build-sanitize build-thread samples clean

setup:
	bash scripts/setup

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Only what make run needs: a first start waits for the program, not for the tests.
build-program: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target picreel picreel-samples

samples: build-program
	$(BUILD)/src/picreel-samples $(SAMPLES)

run: samples
	cd $(SAMPLES) && ../$(BUILD)/src/picreel

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE desktop

# Each program on a screen of its own (scripts/desktop-session), so they run side by side.
test-desktop: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -L desktop

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPICREEL_SANITIZE=ON

build-sanitize: setup $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: build-sanitize
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -LE desktop

$(TSAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICREEL_TSAN=ON

build-thread: setup $(TSAN_BUILD)/CMakeCache.txt
	cmake --build $(TSAN_BUILD) -j $(JOBS)

# The whole suite again under ThreadSanitizer: the window's, the job's and picreel-make's
# work on worker threads. Qt and the codec libraries are not instrumented: tsan.supp names
# the reports that lie wholly inside them. A race ends the test that found it. The tests start
# ffmpeg and picreel-make while worker threads run; the child only execs, so forking then is
# safe (die_after_fork=0). A longer history keeps the earlier access's stack, which the
# suppressions match on.
test-thread: build-thread
	TSAN_OPTIONS="suppressions=$(CURDIR)/tsan.supp halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 history_size=7" \
	    ctest --test-dir $(TSAN_BUILD) --output-on-failure -j $(JOBS) -LE desktop

# The picture fuzz targets (clang, libFuzzer), 60 seconds each on seeds the tests make.
fuzz: build
	BUILD=$(BUILD) bash fuzz/picture/run 60

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) build-fuzz $(SAMPLES)

# make deb : dist/picreel_VERSION_ARCH.deb, for apt install ./dist/picreel_*.deb
.PHONY: deb
deb: build
	cd $(BUILD) && cpack -G DEB

# make install PREFIX=/opt/picreel : both programs, the desktop entry, the icon, the manuals
PREFIX ?= /usr/local
.PHONY: install
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

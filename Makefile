# `make run` and `make test` do all the set-up on a fresh Debian 12 machine.
BUILD_DIR ?= build
RELEASE_DIR ?= build-release
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test test-tsan run bench clean fuzz lint format-check install deb

all: build

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRINDLE_SANITIZE=ON -DBRINDLE_WERROR=ON

# CMake 3.25's moc step misses Q_OBJECT headers added after a tree was first built; dropping its
# stamp makes it look again (cheap: unchanged files are not regenerated).
define refresh_moc
	find $(1) -path '*_autogen/timestamp' -delete 2>/dev/null || true
endef

build: configure
	$(call refresh_moc,$(BUILD_DIR))
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The threaded parts (reverse DNS, remote transfers, the statistics pass) once more under ThreadSanitizer.
TSAN_DIR ?= build-tsan
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRINDLE_TSAN=ON -DBRINDLE_BUILD_UI=OFF -DBRINDLE_WERROR=ON
	cmake --build $(TSAN_DIR) -j $(JOBS) --target engine_tests
	cd $(TSAN_DIR) && ctest --output-on-failure -j $(JOBS) \
		-R '^(DNS|FTP|HTTP|PassDeterminism|PassTest|ScenarioTest|Analyze\.|ParallelParse\.|ParallelSort)'

# libFuzzer targets for every reader of outside data, built with clang in their own tree.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 5
# The seconds for all targets together, split by the run script where inputs are slow;
# by default as long as FUZZ_SECONDS for each target would take.
FUZZ_BUDGET ?= $(shell echo $$(( $(FUZZ_SECONDS) * $(words $(wildcard tests/fuzz/fuzz_*.cpp)) )))
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
		-DBRINDLE_FUZZ=ON -DBRINDLE_BUILD_UI=OFF -DBRINDLE_BUILD_TESTS=OFF -DBRINDLE_WERROR=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash tests/fuzz/run $(FUZZ_DIR) $(FUZZ_BUDGET)

# `make run` and `make bench` share one optimized tree; the sanitizer build stays `make test`'s.
define build_release
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRINDLE_BUILD_TESTS=OFF
	$(call refresh_moc,$(RELEASE_DIR))
	cmake --build $(RELEASE_DIR) -j $(JOBS)
endef

run: deps
	$(build_release)
	$(RELEASE_DIR)/bin/brindle-analyzer

bench: deps
	$(build_release)
	bash bench/run

# `make install PREFIX=... [DESTDIR=...]` and `make deb` take the optimized tree too.
PREFIX ?= /usr/local
install: deps
	$(build_release)
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_DIR) --prefix "$(PREFIX)" --strip

deb: deps
	$(build_release)
	cd $(RELEASE_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR) $(RELEASE_DIR) $(TSAN_DIR) $(FUZZ_DIR) $(LINT_DIR)

# Style and bug-finding checks: clang-format on every source and header, clang-tidy on every
# .cpp of the compile database (its own tree, so that the sanitizer flags do not get in the way).
LINT_DIR ?= build-lint
# The formatting half of lint alone: seconds.
format-check:
	git ls-files '*.cpp' '*.h' | xargs -P $(JOBS) -n 25 clang-format-14 --dry-run --Werror

lint: deps
	cmake -S . -B $(LINT_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	cmake --build $(LINT_DIR) --target brindle_resources >/dev/null
	bash scripts/lint $(LINT_DIR) $(JOBS)

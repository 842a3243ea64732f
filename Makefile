# make run   - install what is missing, build (Release) and start Quiltara
# make test  - the same set-up, then build and run every test through CTest
# make package - the same build, then a Debian package (build/packages/quiltara_*.deb)
# make bench-compare - quiltara-cli timed side by side with ImageMagick and libvips
#                      (needs imagemagick and libvips-tools; GROUPS="blur rotate" for a subset)
BUILD_DIR ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench bench-compare package clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/quiltara

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD_DIR)/bin/*_bench; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b; done

# The side-by-side harness lives beside the repository (shared/bench), found from the
# repository's folder or one level further up; BENCH_COMPARE_DIR overrides the search.
BENCH_COMPARE_DIR ?= $(firstword $(foreach d,$(CURDIR)/../shared/bench $(CURDIR)/../../shared/bench,\
                       $(if $(wildcard $(d)/compare.sh),$(abspath $(d)))))
GROUPS ?=

bench-compare: configure
	@if [ -z "$(BENCH_COMPARE_DIR)" ]; then \
	  echo "bench-compare: skipped - shared/bench/compare.sh not found (set BENCH_COMPARE_DIR)"; exit 0; fi; \
	missing=""; \
	command -v $${IM_CONVERT:-convert} >/dev/null 2>&1 || missing="$$missing convert (imagemagick)"; \
	command -v vips >/dev/null 2>&1 || missing="$$missing vips (libvips-tools)"; \
	if [ -n "$$missing" ]; then \
	  echo "bench-compare: skipped - missing:$$missing"; exit 0; fi; \
	cmake --build $(BUILD_DIR) -j $(JOBS) --target quiltara-cli && \
	BENCH_WORK=$${BENCH_WORK:-$(abspath $(BUILD_DIR))/bench-compare}; export BENCH_WORK; \
	if [ ! -f "$$BENCH_WORK/work/in-4096.bmp" ]; then "$(BENCH_COMPARE_DIR)/make-inputs.sh"; fi && \
	"$(BENCH_COMPARE_DIR)/compare.sh" "$(abspath $(BUILD_DIR))/bin/quiltara-cli" $(GROUPS)

package: build
	cmake --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR)

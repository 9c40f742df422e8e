# Two commands do all set-up on a fresh Debian machine:
#   make run    plays the demo (where no display exists, renders it to build/velmora.mp4 instead)
#   make test   builds everything and runs the tests
#   make video  renders the demo for upload: build/velmora-1080p60.mp4 (1920x1080, 60 fps,
#               supersampled 2x2, H.264 high profile CRF 16, AAC 320 kb/s); make video-4k: 3840x2160
#   make video-farm  the same file made in segments by GNU parallel, here or on HOSTS=FILE
#               (GNU parallel's --sshloginfile lines); run again, it continues where it stopped
# Others: make build, make windows, make web, make asan, make assets, make soundtrack, make format,
#         make dist (the release archives in dist/)
#   make web    builds the browser version into build/web (serve that folder, open index.html)

BUILD := build/linux
JOBS ?= $(shell nproc)
# `make run` and `make video` build the two programs alone; `make build` everything.
PROGRAMS_ONLY := -DVELMORA_BUILD_TOOLS=OFF -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF
EVERYTHING := -DVELMORA_BUILD_TOOLS=ON -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_BENCH=ON

HEADLESS := $(BUILD)/src/app/headless/velmora-headless

.PHONY: run test build programs windows web asan assets soundtrack format deps dist video video-4k \
        video-farm

deps:
	@scripts/install-deps

build: deps
	@cmake --preset linux $(EVERYTHING) >/dev/null
	@cmake --build --preset linux -j $(JOBS)

programs: deps
	@cmake --preset linux $(PROGRAMS_ONLY) >/dev/null
	@cmake --build --preset linux -j $(JOBS)

run: programs
	@scripts/run-demo

video: programs
	@$(HEADLESS) --preset 1080p60 --video build/velmora-1080p60.mp4

video-4k: programs
	@$(HEADLESS) --preset 2160p60 --video build/velmora-2160p60.mp4

video-farm: programs
	@scripts/capture-farm --resume $(if $(HOSTS),--hosts $(HOSTS)) build/velmora-1080p60.mp4 -- --preset 1080p60

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

windows: deps
	@cmake --preset windows-i686 >/dev/null
	@cmake --build --preset windows-i686 -j $(JOBS)

# A configure that failed before emscripten was installed may have left a cache without its
# compiler: that one goes.
web:
	@scripts/install-deps --web
	@grep -qs '^CMAKE_CXX_COMPILER:.*em++' build/web-cmake/CMakeCache.txt || rm -rf build/web-cmake
	@cmake --preset web >/dev/null
	@cmake --build --preset web -j $(JOBS)

asan: deps
	@cmake --preset linux-asan >/dev/null
	@cmake --build --preset linux-asan -j $(JOBS)
	@ctest --preset linux-asan -j $(JOBS)

assets: build
	@cmake --build $(BUILD) --target assets

soundtrack: build
	@cmake --build $(BUILD) --target soundtrack

dist: build windows
	@scripts/make-dist

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

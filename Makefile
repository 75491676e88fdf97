# mirdane: the front door. `make demo` and `make test` do all the set-up
# they need on a fresh Debian 12 machine (as root, or with sudo).
BUILD        ?= build
NATIVE       := $(BUILD)/native
MINGW_I686   := $(BUILD)/mingw-i686
MINGW_X86_64 := $(BUILD)/mingw-x86_64
CMAKE_FLAGS  ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build cross cross-i686 cross-x86_64 test demo bench package fuzz clean

all: build

deps:
	@scripts/install-deps.sh

$(NATIVE)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(NATIVE) -G Ninja $(CMAKE_FLAGS)

build: deps $(NATIVE)/build.ninja
	cmake --build $(NATIVE)

# The portable core, cross-compiled for the 32-bit host that ships and for
# 64-bit Windows, so that nothing Linux-only creeps into it.
cross: cross-i686 cross-x86_64

cross-i686: deps
	cmake -S . -B $(MINGW_I686) -G Ninja $(CMAKE_FLAGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
	cmake --build $(MINGW_I686)

cross-x86_64: deps
	cmake -S . -B $(MINGW_X86_64) -G Ninja $(CMAKE_FLAGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake
	cmake --build $(MINGW_X86_64)

# The Windows package: both DLL builds, mirdane.exe, the host's registration
# file and the install guide, zipped by CPack into build/; beside it the
# Windows Installer package of the 32-bit build (wixl).
package: cross-x86_64
	cmake -S . -B $(MINGW_I686) -G Ninja $(CMAKE_FLAGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake \
	  -DMIRDANE_X64_BUILD=$(abspath $(MINGW_X86_64))
	cmake --build $(MINGW_I686)
	cd $(MINGW_I686) && cpack -B $(abspath $(BUILD))
	cmake --build $(MINGW_I686) --target msi
	cp $(MINGW_I686)/packaging/mirdane-1.0.0-x86.msi $(BUILD)/
	@echo "package: $(BUILD)/mirdane-1.0.0-windows.zip $(BUILD)/mirdane-1.0.0-x86.msi"

# Installs, builds and tests in stages, each saying when it starts and ends.
test:
	@scripts/run-tests.sh $(BUILD)

demo: build
	@scripts/demo.sh $(NATIVE)

bench: build cross-x86_64
	@scripts/bench.sh $(NATIVE)

# Each fuzz target for FUZZ_SECONDS (default 60) from its seed corpus.
fuzz: deps
	@scripts/fuzz.sh $(BUILD)

clean:
	rm -rf $(BUILD)

# Set-up and everyday commands; see README.md.
SHELL := /bin/bash
JOBS ?= 2
ROOT := $(CURDIR)
NATIVE := build/native
ASAN := build/asan
WIN := build/win
WINE_PREFIX := $(ROOT)/build/wine-prefix
# The tests' own prefix: every program in a virtual desktop of its own, since
# without a window manager hiding a shown window outside one takes about 2 s.
WINE_TEST_PREFIX := $(ROOT)/build/wine-test-prefix
export WINEPREFIX := $(WINE_PREFIX)
export WINEDEBUG := -all
# A compiler cache when the machine has one: worktrees and rebuilds share it.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The test suites' precompiled GoogleTest header, cached too.
export CCACHE_SLOPPINESS := pch_defines,time_macros,include_file_mtime,include_file_ctime

# Debian packages the build, the tests and the tools need.
PACKAGES := cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev \
	g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xauth \
	clang-14 libclang-rt-14-dev python3 python3-pil imagemagick \
	libssl-dev nlohmann-json3-dev help2man dpkg-dev zip unzip man-db groff-base lintian zsh ansible-core \
	systemd git \
	ansible-lint python3-pytest python3-voluptuous python3-jsonschema
# What only `make bench` needs: the peer protocol it is measured beside, and perf.
BENCH_PACKAGES := curl tftpd-hpa linux-perf procps
# tftpd-hpa's own service, where the machine starts services, listens on the
# loopback address only (the bench runs a tftpd of its own on another port).
TFTPD_ADDRESS := tftpd-hpa tftpd-hpa/address string 127.0.0.1:69

.PHONY: all deps bench-deps native asan win test test-native test-asan test-win run run-cli bench fuzz fuzz-merge \
	screenshot wine-prefix wine-test-prefix dist collection test-dist test-collection test-fleet clean

all: native win

# Installs the Debian packages of $(1) that are missing.
define install_packages
	@missing=$$(for p in $(1); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		if [ "$$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi; \
		echo "$(TFTPD_ADDRESS)" | $$SUDO debconf-set-selections && \
		$$SUDO apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_packages,$(PACKAGES))

bench-deps: deps
	$(call install_packages,$(BENCH_PACKAGES))

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN)/build.ninja:
	cmake -S . -B $(ASAN) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug -DVELQO_SANITIZE=ON

$(WIN)/build.ninja:
	cmake -S . -B $(WIN) -G Ninja $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake

native: deps $(NATIVE)/build.ninja
	ninja -C $(NATIVE) -j$(JOBS)

asan: deps $(ASAN)/build.ninja
	ninja -C $(ASAN) -j$(JOBS)

win: deps $(WIN)/build.ninja
	ninja -C $(WIN) -j$(JOBS)

wine-prefix: deps
	@[ -f $(WINE_PREFIX)/system.reg ] || { echo "Creating the Wine prefix $(WINE_PREFIX)"; \
		xvfb-run -a tools/wine-run wineboot -i >/dev/null 2>&1 && wineserver -w; }

wine-test-prefix: deps
	@[ -f $(WINE_TEST_PREFIX)/.virtual-desktop ] || { echo "Creating the Wine prefix $(WINE_TEST_PREFIX)"; \
		export WINEPREFIX=$(WINE_TEST_PREFIX); \
		xvfb-run -a tools/wine-run wineboot -i >/dev/null 2>&1 && \
		tools/wine-run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 && \
		tools/wine-run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
			>/dev/null 2>&1 && \
		wineserver -w && touch $(WINE_TEST_PREFIX)/.virtual-desktop; }

test-native: native
	cd $(NATIVE) && ctest --output-on-failure -j$(JOBS)

test-asan: asan
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS)

# The Wine server and the prefix's services are started first, apart from the
# suites: whichever suite started them would hold ctest's pipe while they run.
test-win: win wine-test-prefix
	cd $(WIN) && WINEPREFIX=$(WINE_TEST_PREFIX) xvfb-run -a -s "-screen 0 1280x1024x24" \
		sh -c 'wineserver -p && $(ROOT)/tools/wine-run cmd /c exit </dev/null >/dev/null 2>&1; \
			ctest --output-on-failure -j$(JOBS); rc=$$?; wineserver -k; exit $$rc'

# The packages, with CPack: the Windows zip from the Windows build, the .deb
# of the command-line tools from the native build; and the Ansible collection.
DIST := build/dist
dist: native win collection
	rm -f $(DIST)/VELQO_LAN_MM-*-win64.zip $(DIST)/velqo-tools_*_amd64.deb
	cd $(NATIVE) && cpack -G DEB
	cd $(WIN) && cpack -G ZIP
	@ls -l $(DIST)/*.zip $(DIST)/*.deb $(DIST)/*.tar.gz

# The Ansible collection velqo.box (ansible/), with ansible-galaxy.
collection: deps
	tools/build-collection.sh $(DIST)

test-dist: dist
	tests/dist/check-packages.sh

# The collection as published: Ansible's module validator, ansible-lint's
# production profile and the plugin code's unit tests.
test-collection: collection
	tests/collection/check-collection.sh

# Eight substitute boxes on 127.0.0.2-127.0.0.9 port 1000 (root) and real
# ansible-playbook runs of the collection's example playbooks.
test-fleet: native collection
	tests/fleet/fleet_test.py --bin $(NATIVE)/bin --collection $$(ls $(DIST)/velqo-box-*.tar.gz)

test: test-native test-asan test-win test-dist test-collection test-fleet
	@echo "All test suites passed: native, sanitizers, Windows under Wine, packages, collection, fleet."

run-cli: native
	tools/demo-cli.sh $(NATIVE)/bin

run: native win wine-prefix
	tools/run-window.sh

screenshot: native win wine-prefix
	tools/run-window.sh --screenshot build/screenshots/main.png
	tools/run-window.sh --screenshot build/screenshots/working.png --working
	tools/run-window.sh --screenshot build/screenshots/backups.png --backups
	tools/run-window.sh --screenshot build/screenshots/broken-off.png --broken-off
	tools/run-window.sh --screenshot build/screenshots/find-boxes.png --find
	tools/run-window.sh --screenshot build/screenshots/update-firmware.png --update
	tools/menu-screenshot.sh

bench: bench-deps native win wine-prefix collection
	bench/run.sh

# VELQO_FUZZ_SECONDS (shared) or VELQO_FUZZ_SECONDS_PER_TARGET, VELQO_FUZZ_TARGETS:
# see fuzz/run.sh and the README.
fuzz: deps
	fuzz/run.sh

fuzz-merge: deps
	fuzz/run.sh --merge

clean:
	rm -rf build

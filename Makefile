# Two commands matter: `make run` starts the book, `make test` runs every test.
# Both install missing Debian packages first.

DEBIAN_PACKAGES := cmake ninja-build g++ pkg-config \
	libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev \
	libpugixml-dev libjsoncpp-dev libfontconfig-dev libmd-dev libmpg123-dev libminizip-dev libzip-dev libpng-dev libjpeg-dev \
	fonts-liberation fonts-dejavu-core fonts-arphic-uming \
	libpocketsphinx-dev pocketsphinx-en-us libsndfile1-dev libsamplerate0-dev libebur128-dev \
	libmp3lame-dev libespeak-ng-dev librsvg2-dev libpango1.0-dev fonts-sil-andika
TEST_PACKAGES := googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev \
	xvfb xauth x11-utils x11-apps xdotool imagemagick openbox wmctrl bc espeak-ng lame \
	festival festvox-us-slt-hts festvox-kallpc16k sox zip
# make package, and the test that installs the package.
PACKAGE_PACKAGES := dpkg-dev file lintian appstream desktop-file-utils shared-mime-info man-db binutils

# make install PREFIX=... DESTDIR=... (DESTDIR stages a package's files).
PREFIX ?= /usr/local
INSTALLED := bin/lirra bin/lirra-check bin/lirra-make share/applications/org.lirra.lirra.desktop \
	share/icons/hicolor/256x256/apps/lirra.png share/mime/packages/lirra-book.xml \
	share/metainfo/org.lirra.lirra.metainfo.xml \
	share/man/man1/lirra.1.gz share/man/man1/lirra-check.1.gz share/man/man1/lirra-make.1.gz

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= $(shell nproc)

.PHONY: run build test bench fuzz soak deps test-deps package-deps package clean install uninstall

define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing Debian packages:" $$missing; \
		$(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install_missing,$(DEBIAN_PACKAGES))

test-deps: deps
	$(call install_missing,$(TEST_PACKAGES) $(PACKAGE_PACKAGES))

package-deps: deps
	$(call install_missing,$(PACKAGE_PACKAGES))

build: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DLIRRA_TESTS=OFF \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build build/release -j $(JOBS)

run: build
	@bash tools/run-lirra.sh build/release/lirra

# The package is built first, outside the tests' parallel run: the install
# test installs it.
test: test-deps
	cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLIRRA_SANITIZE=ON
	cmake --build build/test -j $(JOBS)
	$(MAKE) --no-print-directory package
	cd build/test && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		ctest --output-on-failure -j $(JOBS)

bench: test-deps
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLIRRA_TESTS=OFF -DLIRRA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/*_bench; do echo "== $$b"; $$b; done

# The long auto-play soak (make test runs a 50-turn version): a release build,
# so that resident memory means what it says.
SOAK_TURNS ?= 1100
soak: test-deps
	cmake -S . -B build/soak -G Ninja -DCMAKE_BUILD_TYPE=Release -DLIRRA_TESTS=ON
	cmake --build build/soak -j $(JOBS) --target book_tests
	SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy LIRRA_SOAK_TURNS=$(SOAK_TURNS) build/soak/tests/book_tests \
		--gtest_filter='AutoPlaySoakTest.*'

fuzz: test-deps
	CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIRRA_TESTS=OFF -DLIRRA_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

# The Debian package: a release build with Debian's hardening flags, installed
# under /usr, packed by cpack and checked by lintian (errors fail the target).
PACKAGE_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: package-deps
	cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DLIRRA_TESTS=OFF -DLIRRA_PACKAGE=ON \
		-DCMAKE_INSTALL_PREFIX=/usr \
		-DCMAKE_CXX_FLAGS="$$($(PACKAGE_FLAGS) CXXFLAGS) $$($(PACKAGE_FLAGS) CPPFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(PACKAGE_FLAGS) LDFLAGS)"
	cmake --build build/package -j $(JOBS)
	rm -f build/package/lirra_*.deb
	cd build/package && cpack -G DEB
	lintian --fail-on error build/package/lirra_*.deb
	@echo "make package: $$(ls build/package/lirra_*.deb)"

install: build
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

uninstall:
	rm -f $(addprefix "$(DESTDIR)$(PREFIX)"/,$(INSTALLED))
	rm -rf "$(DESTDIR)$(PREFIX)/share/lirra"
	[ -n "$(DESTDIR)" ] || ! command -v update-mime-database >/dev/null || update-mime-database "$(PREFIX)/share/mime"

clean:
	rm -rf build

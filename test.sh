#!/usr/bin/env bash
# Builds everything and runs every test. Exits non-zero on any failure.
# Under CI (CI=true) warnings are errors, clang-tidy covers the whole tree, and
# a test that lacks its X server, display, font or code page fails.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh

werror=OFF
if [ "${CI:-}" = true ]; then werror=ON; fi
started=$SECONDS
step() { echo "test: $1 done after $((SECONDS - started)) s"; }
# The hit rate printed at the end is this run's alone.
ccache --zero-stats >/dev/null

# The tree as clang-format leaves it.
find bench pipeline shell tests tools ui -name '*.cpp' -o -name '*.h' |
  xargs clang-format --dry-run --Werror
step "format check"

# The chroots of scripts/in-debian.sh need root; so does the package test's
# install into this release's chroot, made here when missing so no test waits.
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
"${as_root[@]}" bash scripts/in-debian.sh "$(. /etc/os-release && echo "$VERSION_ID")" true

cmake --preset release -DCMAKE_COMPILE_WARNING_AS_ERROR=$werror
cmake --build --preset release -j2
ctest --preset release --output-on-failure -j2
step "release build and tests"

# The Linux suite again in Debian 13, with its compiler and libraries, in a
# chroot (its own build tree, build/deb13-release), and its package.
deb13_started=$SECONDS
"${as_root[@]}" bash scripts/in-debian.sh 13 env CI="${CI:-}" sh -c "
  cmake --preset deb13-release -DCMAKE_COMPILE_WARNING_AS_ERROR=$werror &&
  cmake --build --preset deb13-release -j2 &&
  ctest --preset deb13-release --output-on-failure -j2 &&
  cmake --build --preset deb13-release --target package"
echo "test: Debian 13 took $((SECONDS - deb13_started)) s more"
step "Debian 13 build, tests and package"

# The toolkit-free test programs again, under AddressSanitizer and UBSan.
cmake --preset asan -DCMAKE_COMPILE_WARNING_AS_ERROR=$werror
cmake --build --preset asan -j2
ctest --preset asan
step "sanitizer build and tests"

if [ "${CI:-}" = true ]; then
  bash scripts/tidy.sh
else
  # What this branch changed: the whole tree takes minutes.
  base=$(git merge-base HEAD main 2>/dev/null || git rev-parse HEAD 2>/dev/null || true)
  changed=()
  if [ -n "$base" ]; then
    mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' |
      grep -v -e '_win32\.cpp$' -e '^tests/win32/' -e '^tests/ui/win32/' || true)
  fi
  if ((${#changed[@]})); then bash scripts/tidy.sh "${changed[@]}"; fi
fi
step "clang-tidy"

bash scripts/test-windows.sh
step "Windows build and tests"

ccache --show-stats | grep -E '^(Cacheable calls|  Hits|  Misses)' | sed 's/^/test: ccache /'

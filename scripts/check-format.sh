#!/bin/sh
# Fails when a C++ file of the project is not formatted as .clang-format
# says; `clang-format -i FILE` fixes one.
set -eu
cd "$(dirname "$0")/.."
git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' |
    xargs clang-format --dry-run --Werror

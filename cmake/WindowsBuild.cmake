# The Windows build: cross-compiled with cmake/mingw-w64-x86_64.cmake, run
# and tested under wine. Included by the top level when building for Windows.

# libzip, built by `bash scripts/setup.sh --windows` into the build tree.
set(PELKO_WINDOWS_DEPS ${PROJECT_BINARY_DIR}/deps/prefix CACHE PATH
    "Prefix of the libraries built for Windows (libzip)")
if(NOT EXISTS ${PELKO_WINDOWS_DEPS}/lib/libzip.a)
  message(FATAL_ERROR "No libzip for Windows in ${PELKO_WINDOWS_DEPS}: "
                      "run `bash scripts/setup.sh --windows` first")
endif()
# Find-root mode ONLY: a prefix is searched only when it is one of the roots.
list(APPEND CMAKE_FIND_ROOT_PATH ${PELKO_WINDOWS_DEPS})

# Every Windows program the build or ctest runs goes through wine, in a
# prefix of this build tree.
set(PELKO_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${PROJECT_SOURCE_DIR}/scripts/windows/wine-run.sh ${PELKO_WINE_PREFIX})

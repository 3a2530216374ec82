# libzip and zlib for the core, as the target pelko_libzip.
add_library(pelko_libzip INTERFACE)
if(WIN32)
  # The static zlib by name: FindZLIB would pick the DLL's import library.
  find_library(PELKO_ZLIB_STATIC NAMES libz.a REQUIRED)
  set(ZLIB_LIBRARY ${PELKO_ZLIB_STATIC})
  find_package(ZLIB REQUIRED)
  # libzip's package names ZLIB::ZLIB but does not look for it: found above.
  find_package(libzip CONFIG REQUIRED)
  target_link_libraries(pelko_libzip INTERFACE libzip::zip ZLIB::ZLIB)
  # Without it, zip.h declares every function as imported from a DLL.
  target_compile_definitions(pelko_libzip INTERFACE ZIP_STATIC)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
  find_package(ZLIB REQUIRED)
  target_link_libraries(pelko_libzip INTERFACE PkgConfig::LIBZIP ZLIB::ZLIB)
endif()

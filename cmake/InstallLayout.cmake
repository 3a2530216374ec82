# Where an installation puts things, relative to its prefix, and the
# application id that names the desktop entry, the icons and the metainfo.
# The window needs both to find its icon; dist/ installs by them.
include(GNUInstallDirs)
# Debian looks for a package's copyright and changelog under the package's
# name, which is in lower case.
if(CMAKE_INSTALL_DOCDIR STREQUAL "${CMAKE_INSTALL_DATAROOTDIR}/doc/${PROJECT_NAME}")
  set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/pelko)
endif()
# The program directory is private to Pelko and holds executables beside
# architecture-independent samples: Debian's place for that is
# /usr/lib/<package>, never the multiarch library folder that GNUInstallDirs
# gives LIBDIR for a /usr prefix. lib64 systems keep their own LIBDIR.
set(program_libdir ${CMAKE_INSTALL_LIBDIR})
if(CMAKE_LIBRARY_ARCHITECTURE)
  string(REGEX REPLACE "/${CMAKE_LIBRARY_ARCHITECTURE}$" "" program_libdir "${program_libdir}")
endif()
set(PELKO_INSTALL_PROGRAMDIR ${program_libdir}/pelko CACHE STRING
    "The program directory, relative to the prefix: the executables and the sample templates")

set(PELKO_APP_ID net.pelko.Pelko)

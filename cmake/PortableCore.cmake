# The core as far as it builds for Windows before the platform layer has its
# Windows side: the folders that call no operating system, less the files in
# them that still do, and the tests of what remains. Included by the top
# level for Windows while PELKO_WINDOWS_CORE is off; once it is on, the whole
# core, pelko-cli and their tests build as on Linux, and this file goes.

set(PELKO_PORTABLE_FOLDERS text templates options package)
# Files of those folders that call the operating system themselves: the CP932
# conversion (iconv), the program path (/proc/self/exe), the archive's file
# and read-ahead source (POSIX descriptors).
set(PELKO_UNPORTED_SOURCES
  text/Cp932.cpp text/Paths.cpp
  package/archive/ArchiveFile.cpp package/archive/ArchiveSource.cpp)
# Tests, relative to tests/, of the parts that reach none of those files (most
# of the core reaches the CP932 conversion through its error messages).
set(PELKO_PORTABLE_TEST_SOURCES text/ColorTest.cpp text/TextTest.cpp text/Utf8Test.cpp)

foreach(folder IN LISTS PELKO_PORTABLE_FOLDERS)
  add_subdirectory(${folder})
endforeach()
get_target_property(pelko_core_sources pelko_core SOURCES)
foreach(source IN LISTS PELKO_UNPORTED_SOURCES)
  list(REMOVE_ITEM pelko_core_sources ${PROJECT_SOURCE_DIR}/${source})
endforeach()
set_property(TARGET pelko_core PROPERTY SOURCES ${pelko_core_sources})

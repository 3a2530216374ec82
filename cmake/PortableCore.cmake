# The core as far as it builds for Windows before the platform layer has its
# Windows side (system/windows/): every folder of the core, the platform
# layer's sources that name no system, and the tests of what reaches nothing
# of the missing side. Included by the top level for Windows while
# PELKO_WINDOWS_CORE is off; once it is on, the whole core, pelko-cli and
# their tests build as on Linux, and this file goes.

set(PELKO_PORTABLE_FOLDERS text templates options package)
# What system/CMakeLists.txt makes, less its POSIX or Windows folder.
set(PELKO_SYSTEM_NEUTRAL_SOURCES system/StatusQueries.cpp)
# Tests, relative to tests/, that link without the platform layer's Windows
# side (most of the core reaches the CP932 conversion through its error
# messages) and use nothing of POSIX.
set(PELKO_PORTABLE_TEST_SOURCES text/ColorTest.cpp text/TextTest.cpp text/Utf8Test.cpp)

add_library(pelko_system STATIC ${PELKO_SYSTEM_NEUTRAL_SOURCES})
target_include_directories(pelko_system PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(pelko_system PUBLIC pelko_flags)
foreach(folder IN LISTS PELKO_PORTABLE_FOLDERS)
  add_subdirectory(${folder})
endforeach()

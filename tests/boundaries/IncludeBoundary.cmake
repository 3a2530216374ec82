# Fails, naming every offending file and line, when a source of the given
# folders includes one of the given headers outside the folders allowed to.
#   cmake -DROOT=<source dir> -DFOLDERS=a,b,... -DALLOWED=a/x,b,...
#         -DHEADERS=<regex over the lower-cased header name> -DWHAT=<words>
#         -P IncludeBoundary.cmake
# Folders are relative to ROOT and separated by commas, so that the lists
# pass through add_test unsplit.
foreach(required ROOT FOLDERS HEADERS WHAT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "IncludeBoundary.cmake: -D${required}= is missing")
  endif()
endforeach()
string(REPLACE "," ";" folders "${FOLDERS}")
string(REPLACE "," ";" allowed "${ALLOWED}")

set(offences)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE ${ROOT} LIST_DIRECTORIES false
       ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.hpp ${ROOT}/${folder}/*.c
       ${ROOT}/${folder}/*.cc ${ROOT}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    set(permitted FALSE)
    foreach(place IN LISTS allowed)
      string(FIND "${source}" "${place}/" at)
      if(at EQUAL 0)
        set(permitted TRUE)
      endif()
    endforeach()
    if(permitted)
      continue()
    endif()
    file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${line}")
      string(TOLOWER "${header}" header)
      if(header MATCHES "^(${HEADERS})$")
        list(APPEND offences "  ${source}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(offences)
  list(LENGTH offences count)
  string(REPLACE ";" "\n" listing "${offences}")
  if(NOT ALLOWED)
    set(ALLOWED "nowhere")
  endif()
  message(FATAL_ERROR
    "${count} includes of ${WHAT} outside ${ALLOWED}:\n${listing}\n")
endif()
message(STATUS "No ${WHAT} included outside ${ALLOWED}")

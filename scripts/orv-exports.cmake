# The platform library's exported names, read from the one export list (orv/exports.h: every
# line that begins with ORV_EXPORT( names one function, its name after the result type).
#   cmake -DMODE=map -DLIST=<exports.h> -DOUT=<file> -P orv-exports.cmake
#     writes the linker version script that exports these names and keeps every other symbol
#     of libOrv.so local (the static libraries it links, the C++ library's template code).
#   cmake -DMODE=check -DLIST=<exports.h> -DLIB=<libOrv.so> -DNM=<nm> -P orv-exports.cmake
#     fails unless the library's defined dynamic symbols are exactly these names.
cmake_minimum_required(VERSION 3.25)

file(STRINGS "${LIST}" lines REGEX "^ORV_EXPORT\\(")
set(names)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^ORV_EXPORT\\(([^,]+),[ ]*([A-Za-z_][A-Za-z0-9_]*)")
    message(FATAL_ERROR "${LIST}: cannot read the name in: ${line}")
  endif()
  list(APPEND names ${CMAKE_MATCH_2})
endforeach()
list(LENGTH names count)
if(count EQUAL 0)
  message(FATAL_ERROR "${LIST}: no ORV_EXPORT lines")
endif()

if(MODE STREQUAL "map")
  list(JOIN names ";\n    " body)
  set(text "# Generated from orv/exports.h: only the listed functions leave libOrv.so.\n")
  string(APPEND text "{\n  global:\n    ${body};\n  local:\n    *;\n};\n")
  file(WRITE "${OUT}" "${text}")
elseif(MODE STREQUAL "check")
  execute_process(COMMAND "${NM}" -D --defined-only "${LIB}" OUTPUT_VARIABLE out
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${LIB}")
  endif()
  string(REPLACE "\n" ";" symbols "${out}")
  set(exported)
  set(extra)
  foreach(symbol IN LISTS symbols)
    # "<address> <type> <name>"; versioned names carry "@VERSION".
    if(symbol MATCHES "^[0-9a-fA-F]+ [A-Za-z] ([^@ ]+)")
      list(APPEND exported ${CMAKE_MATCH_1})
      if(NOT CMAKE_MATCH_1 IN_LIST names)
        list(APPEND extra ${CMAKE_MATCH_1})
      endif()
    endif()
  endforeach()
  set(missing)
  foreach(name IN LISTS names)
    if(NOT name IN_LIST exported)
      list(APPEND missing ${name})
    endif()
  endforeach()
  if(extra OR missing)
    list(JOIN extra "\n  " extra_text)
    list(JOIN missing "\n  " missing_text)
    message(FATAL_ERROR "${LIB} does not export exactly the list of ${LIST}\n"
                        "exported but not in the list:\n  ${extra_text}\n"
                        "in the list but not exported:\n  ${missing_text}")
  endif()
  message(STATUS "${LIB}: exactly the ${count} functions of the list")
else()
  message(FATAL_ERROR "MODE must be map or check")
endif()

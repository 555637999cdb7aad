# Helpers every folder uses to declare its libraries, programs and tests.
#
#   sonoria_library(NAME SOURCES... [PORTABLE] [DEPS libs...])
#   sonoria_test(NAME SOURCES... [PORTABLE] [DEPS libs...] [WINDOW])
#
# PORTABLE marks code that also builds in the native check build; everything else is
# built for Windows only. A test program is one ctest entry, run under Wine (through
# CMAKE_CROSSCOMPILING_EMULATOR) in the Windows build and natively in the check build.

if(SONORIA_NATIVE)
  set(SONORIA_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${SONORIA_SANITIZE} -g -O1)
  # Coverage for the fuzz targets: every portable library is instrumented for libFuzzer.
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
  add_link_options(${SONORIA_SANITIZE})
else()
  # ANSI Win32 API, no UNICODE; Windows 7 level API declarations.
  add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
  remove_definitions(-DUNICODE -D_UNICODE)
endif()
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wall> $<$<COMPILE_LANGUAGE:CXX>:-Wextra>
                    $<$<COMPILE_LANGUAGE:CXX>:-Wno-unused-parameter>
                    $<$<COMPILE_LANGUAGE:CXX>:-Wno-missing-field-initializers>)

function(_sonoria_parse prefix)
  cmake_parse_arguments(PARSE_ARGV 1 A "PORTABLE;WINDOW" "" "SOURCES;DEPS;DEFINES")
  foreach(v PORTABLE WINDOW SOURCES DEPS DEFINES UNPARSED_ARGUMENTS)
    set(${prefix}_${v} ${A_${v}} PARENT_SCOPE)
  endforeach()
endfunction()

function(sonoria_library name)
  _sonoria_parse(L ${ARGN})
  if(SONORIA_NATIVE AND NOT L_PORTABLE)
    return()
  endif()
  add_library(${name} STATIC ${L_SOURCES} ${L_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_DEPS})
  target_compile_definitions(${name} PUBLIC ${L_DEFINES})
endfunction()

function(sonoria_test name)
  _sonoria_parse(T ${ARGN})
  if(SONORIA_NATIVE AND NOT T_PORTABLE)
    return()
  endif()
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE ${T_DEFINES})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
    ENVIRONMENT "SONORIA_SOURCE_DIR=${PROJECT_SOURCE_DIR};SONORIA_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

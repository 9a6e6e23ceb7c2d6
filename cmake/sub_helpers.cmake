# Shared compiler flags and the one-line helpers for tests, benchmarks and fuzzers.

add_library(sub_flags INTERFACE)
if(MSVC)
  target_compile_options(sub_flags INTERFACE /W4 $<$<BOOL:${SUB_WARNINGS_AS_ERRORS}>:/WX>)
else()
  target_compile_options(sub_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wformat=2
    $<$<BOOL:${SUB_WARNINGS_AS_ERRORS}>:-Werror>)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports overlapping copies inside std::string at -O3 that
    # cannot happen (a known false positive of its -Wrestrict).
    target_compile_options(sub_flags INTERFACE -Wno-restrict)
  endif()
endif()

if(SUB_SANITIZE)
  list(JOIN SUB_SANITIZE "," _sub_sanitizers)
  add_compile_options(-fsanitize=${_sub_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_sub_sanitizers})
endif()

# Directory of the recording logging library that unit tests load in place of
# the real one (it carries the same file name).
set(SUB_RECORDING_LOG_DIR "${CMAKE_BINARY_DIR}/tests/recording_log")

# The libraries built for tests mark what they export with SUB_TEST_EXPORT.
add_library(sub_test_export INTERFACE)
if(WIN32)
  target_compile_definitions(sub_test_export INTERFACE "SUB_TEST_EXPORT=__declspec(dllexport)")
else()
  target_compile_definitions(sub_test_export INTERFACE "SUB_TEST_EXPORT=__attribute__((visibility(\"default\")))")
endif()

# SUB_TARGET_PATH_PREFIX, set by the toolchain file of a build whose programs
# run under an emulator that shows this machine's files as a drive, goes in
# front of every path handed to the test programs.

# sub_add_test(name SOURCES a.cc b.cc [LIBS x y] [LABELS l ...] [NO_SUBCORE])
# A GoogleTest program linked with subcore, registered with CTest one entry per
# test, each carrying LABELS. NO_SUBCORE leaves subcore out: tests of the
# reference host, which reaches the plug-in only through the loaded module.
function(sub_add_test name)
  cmake_parse_arguments(ARG "NO_SUBCORE" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(NOT ARG_NO_SUBCORE)
    target_link_libraries(${name} PRIVATE subcore)
  endif()
  target_link_libraries(${name} PRIVATE sub_flags GTest::gtest GTest::gtest_main GTest::gmock ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  if(WIN32)
    # Beside the recording logging library and the ICU stand-in, which the
    # loader then finds first.
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${SUB_RECORDING_LOG_DIR}")
    add_dependencies(${name} icu_stand_in)
  else()
    set_target_properties(${name} PROPERTIES BUILD_RPATH "${SUB_RECORDING_LOG_DIR}")
  endif()
  set(environment "SUB_SOURCE_DIR=${SUB_TARGET_PATH_PREFIX}${PROJECT_SOURCE_DIR}"
                  "SUB_BINARY_DIR=${SUB_TARGET_PATH_PREFIX}${CMAKE_BINARY_DIR}")
  if(CMAKE_CROSSCOMPILING)
    # One process per program: each start under an emulator is costly.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" LABELS "${ARG_LABELS}")
  else()
    set(labels "")
    if(ARG_LABELS)
      set(labels LABELS "${ARG_LABELS}")
    endif()
    string(REPLACE ";" "\;" escaped "${environment}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${labels} ENVIRONMENT "${escaped}")
  endif()
endfunction()

# sub_add_benchmark(name SOURCES a.cc [LIBS x])
# A Google Benchmark program linked with subcore. It sees bench/ and the
# tests' host fakes, finds the real logging library beside the module (off
# unless KELVO_LOG is set), and generates its input files into
# SUB_BENCH_DATA_DIR with the SUB file generator SUB_GEN_SUB.
function(sub_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE sub_flags subcore benchmark::benchmark ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE SUB_BENCH_DATA_DIR="${SUB_BENCH_DATA_DIR}" SUB_GEN_SUB="${SUB_GEN_SUB}"
                                             SUB_MODULE_PATH="$<TARGET_FILE:subcontainer>")
  set_target_properties(${name} PROPERTIES BUILD_RPATH "${CMAKE_BINARY_DIR}")
  add_dependencies(${name} subcontainer Kelvo_Logging)
endfunction()

# sub_add_fuzzer(name SOURCES a.cc [LIBS x])
# With SUB_BUILD_FUZZERS the program is a libFuzzer target; its replay twin
# name_replay, built in every configuration, links a small main that runs
# files through the same entry.
function(sub_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(SUB_BUILD_FUZZERS)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE sub_flags subcore ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
  add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cc)
  target_link_libraries(${name}_replay PRIVATE sub_flags subcore ${ARG_LIBS})
endfunction()

# The header-only packages of the reference host and its tests: CLI11::CLI11
# and nlohmann_json::nlohmann_json. A native build takes them from their
# package files. A cross build cannot: those files point the compiler at the
# build machine's /usr/include, whose C library headers are not the target's.
# There each package's own header folder is copied into the build tree and
# offered under the same target name.

if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 CONFIG REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  return()
endif()

set(_sub_header_copies "${CMAKE_BINARY_DIR}/header-only")
foreach(package IN ITEMS "CLI11::CLI11|CLI/CLI.hpp|CLI" "nlohmann_json::nlohmann_json|nlohmann/json.hpp|nlohmann")
  string(REPLACE "|" ";" package "${package}")
  list(GET package 0 target)
  list(GET package 1 header)
  list(GET package 2 folder)
  string(MAKE_C_IDENTIFIER "SUB_${folder}_INCLUDE_DIR" variable)
  find_path(${variable} "${header}" PATHS /usr/include /usr/local/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(COPY "${${variable}}/${folder}" DESTINATION "${_sub_header_copies}")
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE "${_sub_header_copies}")
endforeach()

# Installs the build tree into PREFIX, checks that the module, the logging
# library, subhost, the headers and the package are there and that the
# installed subhost finds the module and the logging library (it refuses
# REFUSED_FILE through the module), then configures, builds and runs the tiny
# host project against the installed package.
# Variables: BUILD_DIR, PREFIX, WORK_DIR, HOST_PROJECT, GENERATOR, CXX_COMPILER,
# REFUSED_FILE, and the installed files relative to PREFIX: MODULE_FILE,
# LOGGING_FILE, PROGRAM_FILE, HEADER_FILE, PACKAGE_FILE; EXECUTABLE_SUFFIX. A
# cross build adds its TOOLCHAIN_FILE and the EMULATOR that runs its programs
# ("|" between its words).
function(run)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE "${PREFIX}" "${WORK_DIR}")
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}")
foreach(file IN ITEMS "${MODULE_FILE}" "${LOGGING_FILE}" "${PROGRAM_FILE}" "${HEADER_FILE}" "${PACKAGE_FILE}")
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${PREFIX}/${file}")
  endif()
endforeach()

execute_process(COMMAND ${emulator} "${PREFIX}/${PROGRAM_FILE}" --log dump "${REFUSED_FILE}"
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 1 OR NOT err MATCHES "^subhost: [^\n]*: the plug-in refused the source\n$")
  message(FATAL_ERROR "the installed subhost does not reach its module (${status}): ${err}")
endif()

if(TOOLCHAIN_FILE)
  # The toolchain looks for packages below the target's root only: name the folder.
  get_filename_component(package_dir "${PREFIX}/${PACKAGE_FILE}" DIRECTORY)
  set(find "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}" "-Dsubcontainer_DIR=${package_dir}")
else()
  set(find "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}" "-DCMAKE_PREFIX_PATH=${PREFIX}")
endif()
run(${CMAKE_COMMAND} -S "${HOST_PROJECT}" -B "${WORK_DIR}" -G "${GENERATOR}" ${find})
run(${CMAKE_COMMAND} --build "${WORK_DIR}")
run(${emulator} "${WORK_DIR}/tiny_host${EXECUTABLE_SUFFIX}")
string(REPLACE "\r\n" "\n" output "${output}")  # a Windows program's text output
file(REAL_PATH "${PREFIX}/${MODULE_FILE}" module)
if(NOT output STREQUAL "${module}\n1500 0\n")
  message(FATAL_ERROR "the package names another module: ${output}")
endif()

# Installs the build tree into PREFIX, checks that the module, the logging
# library, subhost, the headers and the package are there and that the
# installed subhost finds the module and the logging library (it refuses
# REFUSED_FILE through the module), then configures, builds and runs the tiny
# host project against the installed package.
# Variables: BUILD_DIR, PREFIX, WORK_DIR, HOST_PROJECT, GENERATOR, CXX_COMPILER,
# REFUSED_FILE, and the installed files relative to PREFIX: MODULE_FILE,
# LOGGING_FILE, PROGRAM_FILE, HEADER_FILE, PACKAGE_FILE.
function(run)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${PREFIX}" "${WORK_DIR}")
run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}")
foreach(file IN ITEMS "${MODULE_FILE}" "${LOGGING_FILE}" "${PROGRAM_FILE}" "${HEADER_FILE}" "${PACKAGE_FILE}")
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${PREFIX}/${file}")
  endif()
endforeach()

execute_process(COMMAND "${PREFIX}/${PROGRAM_FILE}" --log dump "${REFUSED_FILE}"
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 1 OR NOT err MATCHES "^subhost: [^\n]*: the plug-in refused the source\n$")
  message(FATAL_ERROR "the installed subhost does not reach its module (${status}): ${err}")
endif()

run(${CMAKE_COMMAND} -S "${HOST_PROJECT}" -B "${WORK_DIR}" -G "${GENERATOR}"
    "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}" "-DCMAKE_PREFIX_PATH=${PREFIX}")
run(${CMAKE_COMMAND} --build "${WORK_DIR}")
run("${WORK_DIR}/tiny_host")
file(REAL_PATH "${PREFIX}/${MODULE_FILE}" module)
if(NOT output STREQUAL "${module}\n1500 0\n")
  message(FATAL_ERROR "the package names another module: ${output}")
endif()

# Installation: `cmake --install` puts the module, the logging library,
# subhost and the host-facing headers in the usual places, with a CMake
# package whose target subcontainer::headers carries the headers:
#   find_package(subcontainer)
#   target_link_libraries(my_host PRIVATE subcontainer::headers)
# The package also names the installed module (subcontainer_MODULE) and
# logging library (subcontainer_LOGGING_LIBRARY) for a host to load.
include(CMakePackageConfigHelpers)

# The headers a host compiles against: the interfaces it calls by position
# and the records and framework types that cross the boundary.
set(SUB_HOST_HEADERS
  src/plugin/host_interfaces.h
  src/plugin/plugin.h
  src/plugin/status.h
  src/plugin/boundary.h
  src/container/container_interface.h
  src/container/stream_interface.h
  src/framework/media_buffer.h
  src/framework/node_list.h
  src/framework/portable_string.h
  src/framework/properties.h
  src/framework/setting.h
  src/framework/standard_allocator.h)
set(SUB_INSTALL_INCLUDE_DIR "${CMAKE_INSTALL_INCLUDEDIR}/subcontainer")

add_library(subcontainer_headers INTERFACE)
target_include_directories(subcontainer_headers INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
  $<INSTALL_INTERFACE:${SUB_INSTALL_INCLUDE_DIR}>)
target_compile_features(subcontainer_headers INTERFACE cxx_std_17)
set_target_properties(subcontainer_headers PROPERTIES EXPORT_NAME headers)

foreach(header IN LISTS SUB_HOST_HEADERS)
  string(REGEX REPLACE "^src/" "" relative "${header}")
  get_filename_component(folder "${relative}" DIRECTORY)
  install(FILES ${header} DESTINATION "${SUB_INSTALL_INCLUDE_DIR}/${folder}" COMPONENT development)
endforeach()
install(FILES tools/logging/kelvo_logging.h DESTINATION "${SUB_INSTALL_INCLUDE_DIR}" COMPONENT development)

install(TARGETS subcontainer
  LIBRARY DESTINATION "${SUB_INSTALL_MODULE_DIR}" COMPONENT runtime
  RUNTIME DESTINATION "${SUB_INSTALL_MODULE_DIR}" COMPONENT runtime)
install(TARGETS Kelvo_Logging
  LIBRARY DESTINATION "${SUB_INSTALL_MODULE_DIR}" COMPONENT runtime
  RUNTIME DESTINATION "${SUB_INSTALL_MODULE_DIR}" COMPONENT runtime
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT development)
install(TARGETS subhost RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT runtime)
install(TARGETS subcontainer_headers EXPORT subcontainerTargets)

set(SUB_PACKAGE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/subcontainer")
if(WIN32)
  set(SUB_MODULE_INSTALLED_NAME "subcontainer.dll")
  set(SUB_LOGGING_INSTALLED_NAME "Kelvo_Logging.dll")
else()
  set(SUB_MODULE_INSTALLED_NAME "libsubcontainer${CMAKE_SHARED_MODULE_SUFFIX}")
  set(SUB_LOGGING_INSTALLED_NAME "libKelvo_Logging${CMAKE_SHARED_LIBRARY_SUFFIX}")
endif()
install(EXPORT subcontainerTargets NAMESPACE subcontainer:: DESTINATION "${SUB_PACKAGE_DIR}" COMPONENT development)
configure_package_config_file(cmake/subcontainerConfig.cmake.in
  "${CMAKE_CURRENT_BINARY_DIR}/subcontainerConfig.cmake"
  INSTALL_DESTINATION "${SUB_PACKAGE_DIR}"
  PATH_VARS SUB_INSTALL_MODULE_DIR)
write_basic_package_version_file("${CMAKE_CURRENT_BINARY_DIR}/subcontainerConfigVersion.cmake"
  COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/subcontainerConfig.cmake"
              "${CMAKE_CURRENT_BINARY_DIR}/subcontainerConfigVersion.cmake"
        DESTINATION "${SUB_PACKAGE_DIR}" COMPONENT development)

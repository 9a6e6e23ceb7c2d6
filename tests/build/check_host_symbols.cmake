# Fails when the reference host carries plug-in code (a sign that it links
# subcore instead of loading the module), or when its symbols cannot be read.
execute_process(COMMAND ${NM} -C ${PROGRAM}
  OUTPUT_VARIABLE symbols ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${PROGRAM}: ${errors}")
endif()
# The host compiles the platform loader itself: its symbols prove the table was read.
if(NOT symbols MATCHES "Kelvo::platform::DynamicLibrary::load")
  message(FATAL_ERROR "no symbol of the platform loader in ${PROGRAM}: cannot judge its contents")
endif()
foreach(pluginCode IN ITEMS
    "Kelvo::SUBContainer" "Kelvo::SubtitleParserTemplate" "Kelvo::MediaBufferAllocator"
    "Kelvo::MediaBuffer::MediaBuffer" "Kelvo::Plugin::Plugin" "Kelvo::Logger" "Kelvo::containerInterfaceId")
  string(FIND "${symbols}" "${pluginCode}" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} contains plug-in code: ${pluginCode}")
  endif()
endforeach()
if(symbols MATCHES " [A-Za-z] _getPlugin\n")
  message(FATAL_ERROR "${PROGRAM} defines or imports _getPlugin")
endif()

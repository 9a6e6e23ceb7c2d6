# Runs PROGRAM with ARGUMENT in the test's environment and fails unless its
# standard error holds a report matching EXPECT. The program is meant to end
# badly (the sanitizer may abort it), so its exit status is not looked at.
execute_process(COMMAND ${PROGRAM} ${ARGUMENT} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT err MATCHES "${EXPECT}")
  message(FATAL_ERROR "no \"${EXPECT}\" from ${PROGRAM} ${ARGUMENT} (status ${status}):\n${err}")
endif()

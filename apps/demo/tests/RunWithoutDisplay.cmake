# Runs vormotor-demo where it has no display to open its window on: one line saying so, naming the
# display where there is one, and a failure exit, never an abort.
# -DDISPLAY_VALUE=...: DISPLAY points there (an X server that cannot be reached); unset otherwise.
# -DEXPECTED=...: what the one line must start with.
if(DEFINED DISPLAY_VALUE)
  set(display_env DISPLAY=${DISPLAY_VALUE})
else()
  set(display_env --unset=DISPLAY)
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${display_env} --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM ${DEMO}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 30)
if(NOT result EQUAL 1)
  message(FATAL_ERROR "expected exit status 1, got '${result}':\n${output}${errors}")
endif()
string(REGEX MATCHALL "\n" feeds "${errors}")
list(LENGTH feeds lines)
string(FIND "${errors}" "${EXPECTED}" at)
if(NOT lines EQUAL 1 OR NOT at EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "expected one line starting '${EXPECTED}', got:\n${output}${errors}")
endif()

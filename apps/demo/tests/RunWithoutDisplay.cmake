# Runs vormotor-demo with no display and no --screenshot: one line saying so, and a failure exit.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM ${DEMO}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 30)
if(result EQUAL 0 OR NOT result MATCHES "^[0-9]+$")
  message(FATAL_ERROR "expected a failure exit without a display, got '${result}':\n${output}${errors}")
endif()
string(REGEX MATCHALL "\n" feeds "${errors}")
list(LENGTH feeds lines)
if(NOT lines EQUAL 1 OR NOT errors MATCHES "^vormotor-demo: no display" OR NOT output STREQUAL "")
  message(FATAL_ERROR "expected one line about the missing display, got:\n${output}${errors}")
endif()

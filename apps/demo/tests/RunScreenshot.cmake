# Runs vormotor-demo --screenshot with no display and checks that a PNG of a plausible size came out.
file(REMOVE ${OUTPUT})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          ${DEMO} --profile ${PROFILE} --screenshot ${OUTPUT}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vormotor-demo failed (${result}):\n${output}${errors}")
endif()
if(NOT errors STREQUAL "")
  message(FATAL_ERROR "a headless run should print no warnings, but printed:\n${errors}")
endif()
if(NOT EXISTS ${OUTPUT})
  message(FATAL_ERROR "no screenshot at ${OUTPUT}:\n${output}${errors}")
endif()
file(READ ${OUTPUT} signature LIMIT 8 HEX)
if(NOT signature STREQUAL "89504e470d0a1a0a")
  message(FATAL_ERROR "${OUTPUT} is not a PNG")
endif()
file(SIZE ${OUTPUT} size)
if(size LESS 20000)
  message(FATAL_ERROR "${OUTPUT} is only ${size} bytes: the window was not drawn")
endif()

# Runs vormotor-host with arguments it must refuse before running any command: the exit status is 2,
# nothing is printed on standard output, and standard error is the one line ERROR.
# -DHOST=... -DARGS=a|b|... -DERROR=...
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(
  COMMAND ${HOST} ${ARGS}
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE exit_code)
if(NOT exit_code STREQUAL "2" OR NOT out STREQUAL "" OR NOT err STREQUAL "vormotor-host: ${ERROR}\n")
  message(FATAL_ERROR "exit status ${exit_code}, expected 2\nstdout: ${out}\nstderr: ${err}expected: vormotor-host: ${ERROR}")
endif()

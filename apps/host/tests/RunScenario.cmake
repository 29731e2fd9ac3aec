# Runs vormotor-host on one scenario script and compares its output with the golden file.
# -DHOST=... -DSCRIPT=... -DGOLDEN=... [-DPROFILE=...] [-DEXPECT_EXIT=0]
# With the environment variable UPDATE_GOLDEN=1 the golden file is rewritten instead.
if(NOT DEFINED PROFILE)
  set(PROFILE servo)
endif()
if(NOT DEFINED EXPECT_EXIT)
  set(EXPECT_EXIT 0)
endif()
execute_process(
  COMMAND ${HOST} --profile ${PROFILE} ${SCRIPT}
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE errors
  RESULT_VARIABLE exit_code)
# VersionStr names the folder the host runs from; golden files stay independent of it.
get_filename_component(host_dir ${HOST} DIRECTORY)
string(REPLACE "${host_dir}" "<host-dir>" actual "${actual}")
if(DEFINED ENV{UPDATE_GOLDEN})
  file(WRITE ${GOLDEN} "${actual}")
  return()
endif()
if(NOT exit_code STREQUAL EXPECT_EXIT)
  message(FATAL_ERROR "exit status ${exit_code}, expected ${EXPECT_EXIT}\n${errors}\n${actual}")
endif()
file(READ ${GOLDEN} expected)
if(NOT actual STREQUAL expected)
  get_filename_component(name ${SCRIPT} NAME_WE)
  set(actual_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.actual)
  file(WRITE ${actual_file} "${actual}")
  execute_process(COMMAND diff -u ${GOLDEN} ${actual_file} OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "output differs from ${GOLDEN}:\n${difference}")
endif()

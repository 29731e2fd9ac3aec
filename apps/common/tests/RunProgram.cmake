# Runs one row of bad-inputs.txt: the program with its arguments, no display and nothing on standard
# input; checks the exit status, that the message is part of the named stream and that the other stream
# is empty, and that a picture written is what its name says.
# -DPROGRAM=... -DARGS=a|b|... -DSTATUS=... -DSTREAM=stdout|stderr -DMESSAGE=... -DWORK=...
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM ${PROGRAM} ${ARGS}
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE stdout_text
  ERROR_VARIABLE stderr_text
  RESULT_VARIABLE status
  TIMEOUT 60)
if(STREAM STREQUAL "stdout")
  set(other "${stderr_text}")
else()
  set(other "${stdout_text}")
endif()
string(FIND "${${STREAM}_text}" "${MESSAGE}" at)
if(NOT status STREQUAL STATUS OR at EQUAL -1 OR NOT other STREQUAL "")
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; expected on ${STREAM}: ${MESSAGE}\n"
                      "stdout: ${stdout_text}\nstderr: ${stderr_text}")
endif()
# A picture starts with its format's signature.
set(signatures "png:89504e47" "jpg:ffd8ff")
foreach(signature IN LISTS signatures)
  string(REPLACE ":" ";" signature ${signature})
  list(GET signature 0 suffix)
  list(GET signature 1 bytes)
  if(EXISTS ${WORK}/a.${suffix})
    file(READ ${WORK}/a.${suffix} head LIMIT 4 HEX)
    if(NOT head MATCHES "^${bytes}")
      message(FATAL_ERROR "a.${suffix} starts with ${head}, not ${bytes}")
    endif()
  endif()
endforeach()

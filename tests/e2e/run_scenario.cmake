# Runs the stand-in host with an add-in registered for the run and one
# scenario, then checks the exit code, the error output and the outbox.
# Arguments: HOST ADDIN PROGID GATEWAY EMULATOR DATA SCENARIO WORK CODE STDERR ARGS MAIL PNG.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# Every scenario starts without a templates file beside the add-in and, as a
# new Windows user does, without the add-in's settings: a scenario sets up
# what it needs itself, whichever scenarios (or runs of scripts/run.sh) used
# the prefix before it.
get_filename_component(addin_folder ${ADDIN} DIRECTORY)
file(REMOVE ${addin_folder}/ZNSMSTemplates.txt)
execute_process(COMMAND ${EMULATOR} reg delete "HKCU\\SOFTWARE\\Parvello" /f
                OUTPUT_FILE ${WORK}/reg.txt ERROR_FILE ${WORK}/reg.txt)
string(REPLACE "|" ";" host_args "${ARGS}")
# Output goes to files, not pipes: Wine's desktop and service processes,
# started by the first window, keep inherited pipes open long after the host.
# The unsent work an earlier run kept is not this run's.
execute_process(
  COMMAND ${EMULATOR} ${HOST} --register ${ADDIN} --addin ${PROGID} --data ${DATA}
          --outbox ${WORK}/outbox --scenario ${SCENARIO} --clear-key SOFTWARE\\Parvello\\Unsent
          ${host_args}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE code OUTPUT_FILE ${WORK}/stdout.txt ERROR_FILE ${WORK}/stderr.txt TIMEOUT 240)
file(READ ${WORK}/stderr.txt err)
if(NOT code STREQUAL "${CODE}")
  message(FATAL_ERROR "the host exited with ${code}, expected ${CODE}:\n${err}")
endif()
if(STDERR AND NOT err MATCHES "${STDERR}")
  message(FATAL_ERROR "the host wrote\n${err}\nexpected a match of\n${STDERR}")
endif()
if(NOT STDERR AND NOT err STREQUAL "")
  message(FATAL_ERROR "the host wrote\n${err}")
endif()

if(MAIL)
  execute_process(COMMAND ${EMULATOR} ${GATEWAY} read ${WORK}/outbox/0001.eml
                  RESULT_VARIABLE code OUTPUT_FILE ${WORK}/read.json ERROR_FILE ${WORK}/read.err)
  file(READ ${WORK}/read.json read)
  file(READ ${WORK}/read.err err)
  file(READ ${MAIL} expected)
  if(NOT code EQUAL 0 OR NOT read STREQUAL expected)
    message(FATAL_ERROR "reading the sent mail gave (${code})\n${read}${err}\nexpected\n${expected}")
  endif()
endif()

if(PNG)
  file(READ ${WORK}/${PNG} signature LIMIT 8 HEX)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${PNG} is not a PNG file")
  endif()
endif()

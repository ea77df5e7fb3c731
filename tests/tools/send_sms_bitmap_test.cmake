# The button picture in the sources must be what its generator draws now.
# Arguments: TOOL, EMULATOR (empty natively), EXPECTED, WORK.
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${EMULATOR} ${TOOL} ${WORK}/send_sms.bmp
                RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "send_sms_bitmap failed (${code}): ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/send_sms.bmp ${EXPECTED}
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${EXPECTED} is not the generator's picture: "
                      "build the target update_send_sms_bitmap and commit the result")
endif()

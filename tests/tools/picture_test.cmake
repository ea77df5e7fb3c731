# A picture in the sources must be what its generator draws now.
# Arguments: TOOL, EMULATOR (empty natively), PICTURE, EXPECTED, WORK.
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${EMULATOR} ${TOOL} ${PICTURE} ${WORK}/${PICTURE}.bmp
                RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "draw_picture ${PICTURE} failed (${code}): ${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${PICTURE}.bmp ${EXPECTED}
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${EXPECTED} is not the generator's picture: "
                      "build the target update_pictures and commit the result")
endif()

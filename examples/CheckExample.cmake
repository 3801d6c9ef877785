# Converts EXAMPLE/main.ivr into OUTPUT with CONVERT and compares it with EXAMPLE/expected/main.vxml.
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${CONVERT}" "${EXAMPLE}/main.ivr" "${OUTPUT}"
                RESULT_VARIABLE status ERROR_VARIABLE messages)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "conversion failed (${status}):\n${messages}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}"
                        "${EXAMPLE}/expected/main.vxml"
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXAMPLE}/expected/main.vxml")
endif()

# Converts EXAMPLE/main.ivr into OUTPUT with CONVERT in DIALECT (classic when empty) and compares
# it with EXAMPLE/expected/EXPECTED.
file(REMOVE "${OUTPUT}")
set(dialect_option "")
if(DIALECT)
  set(dialect_option "--dialect=${DIALECT}")
endif()
execute_process(COMMAND "${CONVERT}" ${dialect_option} "${EXAMPLE}/main.ivr" "${OUTPUT}"
                RESULT_VARIABLE status ERROR_VARIABLE messages)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "conversion failed (${status}):\n${messages}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUTPUT}"
                        "${EXAMPLE}/expected/${EXPECTED}"
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "${OUTPUT} differs from ${EXAMPLE}/expected/${EXPECTED}")
endif()

# Writes the call flow of EXAMPLE/main.ivr into OUTPUT with CONVERT --flow and checks that the file
# is of its suffix's format: each format's own signature at its start.
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${CONVERT}" --flow "${OUTPUT}" "${EXAMPLE}/main.ivr"
                RESULT_VARIABLE status ERROR_VARIABLE messages)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "--flow failed (${status}):\n${messages}")
endif()
get_filename_component(suffix "${OUTPUT}" LAST_EXT)
set(signature_.svg "3c3f786d6c20") # <?xml
set(signature_.png "89504e470d0a1a0a")
set(signature_.pdf "255044462d") # %PDF-
set(signature_.dot "64696772617068") # digraph
set(signature_.json "7b0a202022666f726d617422") # {\n  "format"
string(LENGTH "${signature_${suffix}}" hex_length)
math(EXPR length "${hex_length} / 2")
file(READ "${OUTPUT}" start LIMIT ${length} HEX)
if(NOT start STREQUAL "${signature_${suffix}}")
  message(FATAL_ERROR "${OUTPUT} starts with ${start}, not ${signature_${suffix}}")
endif()

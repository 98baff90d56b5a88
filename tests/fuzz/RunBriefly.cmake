# Runs the fuzz target FUZZER on a fixed number of inputs, starting from a fresh copy
# of the seeds in SEEDS under WORK (libFuzzer adds to and prunes the corpus it is
# given), and fails with the input that broke it left in WORK.
file(REMOVE_RECURSE ${WORK})
file(COPY ${SEEDS}/ DESTINATION ${WORK}/corpus)
execute_process(COMMAND ${FUZZER} -runs=100000 -artifact_prefix=${WORK}/ ${WORK}/corpus RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input that broke it is in ${WORK}")
endif()

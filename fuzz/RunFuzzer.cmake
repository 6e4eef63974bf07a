# Runs one libFuzzer target for a bounded time from a fresh copy of its seed
# corpus. Arguments: FUZZER (binary), SEEDS (folder of seed files), WORK
# (scratch folder, recreated), SECONDS. Fails when libFuzzer reports a
# finding (crash, sanitizer report, leak, timeout, out-of-memory), which it
# signals with a non-zero exit status; the input that caused it is kept in
# WORK/artifacts.
foreach(var FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunFuzzer.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
if(NOT seeds)
  message(FATAL_ERROR "No seed files in ${SEEDS}")
endif()
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

execute_process(
  COMMAND ${FUZZER} ${WORK}/corpus
    -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
    -artifact_prefix=${WORK}/artifacts/ -print_final_stats=1
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a problem (exit status ${status}); "
                      "the input is in ${WORK}/artifacts")
endif()
file(REMOVE_RECURSE ${WORK})

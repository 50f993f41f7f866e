# Converts the bundled example survey with all three programs into OUT.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
set(survey "${EXAMPLES}/survey")

function(run)
  string(REPLACE ";" " " shown "${ARGN}")
  message(STATUS "$ ${shown}")
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${OUT}" INPUT_FILE /dev/null
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}")
  endif()
endfunction()

run("${BIN}/brantle" -kwT "${survey}.csv" "-g=${survey}.gps" "${OUT}/survey-csv.txt")
run("${BIN}/brantle" -kwS "${survey}.xml" "-g=${survey}.gps" "${OUT}/survey-xml-summary.txt")
run("${BIN}/brantle" -kwX "${survey}.network" "-g=${survey}.gps" "${OUT}/survey-network.txt")
run("${BIN}/corvane" "${survey}.csv" "${survey}.gps" "${OUT}/survey.ns1")
run("${BIN}/siftel" "${EXAMPLES}/survey-wiscan.txt" "${OUT}/with-gps.txt" "${OUT}/without-gps.txt")
message(STATUS "The converted example survey is in ${OUT}")

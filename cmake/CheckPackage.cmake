# Makes the Debian package, unpacks it into a scratch root with dpkg -x and
# runs each program's usage text from there, under `cmake -P`.
#
#   -DBINARY_DIR=<build folder>  -DCPACK=<cpack>  -DROOT=<scratch root>
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${CPACK} -G DEB --config CPackConfig.cmake
                WORKING_DIRECTORY ${BINARY_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB packages ${BINARY_DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${BINARY_DIR}, found: ${packages}")
endif()

file(REMOVE_RECURSE ${ROOT})
execute_process(COMMAND dpkg -x ${packages} ${ROOT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg -x failed")
endif()

foreach(page brantle corvane siftel)
  if(NOT EXISTS ${ROOT}/usr/share/man/man1/${page}.1)
    message(FATAL_ERROR "the package lacks the man page ${page}.1")
  endif()
endforeach()

# Each program without arguments prints its usage line and ends with 1.
foreach(run "brantle;USAGE: ./brantle -FLAG INFILE [-g=GPSFILE] OUTFILE"
            "corvane;Usage: ${ROOT}/usr/bin/corvane <kismet .csv filename>"
            "siftel;Usage: ${ROOT}/usr/bin/siftel INFILE ALLGPSFILE NOGPSFILE")
  list(GET run 0 program)
  list(GET run 1 usage)
  execute_process(COMMAND ${ROOT}/usr/bin/${program}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out)
  string(FIND "${out}" "${usage}" at)
  if(NOT status EQUAL 1 OR at EQUAL -1)
    message(FATAL_ERROR "${program} from the package: status ${status}\n${out}")
  endif()
endforeach()

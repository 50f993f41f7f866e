# Runs one whole-run case under `cmake -P` and compares everything it leaves.
#
#   -DPROGRAM=<built executable>  -DNAME=<name used as argv[0], e.g. siftel>
#   -DCASE=<case folder>          -DWORK=<scratch folder, wiped first>
#   -DPLATFORM=<banner platform>  optional; selects expected/<file>.<PLATFORM>
#   -DBANNER_WORD=<word>          optional; the build's banner word, where an
#                                 expected stdout names "linux" instead
#   -DEMULATOR=<wine>             optional; runs <NAME>.exe under it, with
#   -DWINEPREFIX=<folder>         this prefix
#
# A case folder holds:
#   args          the arguments, split like a POSIX shell splits them
#   stdin         optional; the run's standard input (else an empty input)
#   tz            optional; the TZ of the run (else UTC)
#   input/        copied into the scratch folder, which is the run's cwd
#   expected/stdout, expected/status
#   expected/<path>   every file the run must leave in the scratch folder;
#                     expected/<path>.<PLATFORM> instead, where it exists
# In an expected stdout, @ARGV0@ stands for the program's argv[0]: ./<NAME>,
# or the Windows path of <NAME>.exe under an emulator.
# Input files that have no expected twin must be left unchanged, and no
# other file may appear.
cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM NAME CASE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunCliCase: ${var} is not set")
  endif()
endforeach()

set(run_dir "${WORK}/run")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${run_dir}")
if(IS_DIRECTORY "${CASE}/input")
  file(COPY "${CASE}/input/" DESTINATION "${run_dir}")
endif()
if(DEFINED EMULATOR)
  set(program_file "${NAME}.exe")
  file(COPY_FILE "${PROGRAM}" "${run_dir}/${program_file}")
  set(command ${EMULATOR} "${program_file}")
  string(REPLACE "/" "\\" argv0 "Z:${run_dir}/${program_file}")
  set(ENV{WINEPREFIX} "${WINEPREFIX}")
  set(ENV{WINEDEBUG} "-all")
else()
  set(program_file "${NAME}")
  file(CREATE_LINK "${PROGRAM}" "${run_dir}/${program_file}" SYMBOLIC)
  set(command "./${program_file}")
  set(argv0 "./${NAME}")
endif()

set(args "")
if(EXISTS "${CASE}/args")
  file(READ "${CASE}/args" args_text)
  string(STRIP "${args_text}" args_text)
  separate_arguments(args UNIX_COMMAND "${args_text}")
endif()

set(tz "UTC")
if(EXISTS "${CASE}/tz")
  file(READ "${CASE}/tz" tz)
  string(STRIP "${tz}" tz)
endif()
set(ENV{TZ} "${tz}")
set(ENV{LC_ALL} "C")

set(stdin_file "${WORK}/empty-stdin")
file(WRITE "${stdin_file}" "")
if(EXISTS "${CASE}/stdin")
  set(stdin_file "${CASE}/stdin")
endif()

execute_process(
  COMMAND ${command} ${args}
  WORKING_DIRECTORY "${run_dir}"
  INPUT_FILE "${stdin_file}"
  OUTPUT_FILE "${WORK}/stdout"
  ERROR_VARIABLE stderr_text
  RESULT_VARIABLE status
  TIMEOUT 60)
file(REMOVE "${run_dir}/${program_file}")

set(failures "")

function(compare_file actual expected what)
  if(NOT EXISTS "${actual}")
    set(failures "${failures}\n  missing: ${what}" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${actual}" "${expected}"
                  RESULT_VARIABLE differ OUTPUT_QUIET ERROR_QUIET)
  if(differ)
    set(detail "")
    find_program(CMP_PROGRAM cmp)
    if(CMP_PROGRAM)
      execute_process(COMMAND ${CMP_PROGRAM} "${actual}" "${expected}"
                      OUTPUT_VARIABLE detail ERROR_VARIABLE detail)
      string(STRIP "${detail}" detail)
    endif()
    set(failures "${failures}\n  differs: ${what} (actual ${actual}; ${detail})" PARENT_SCOPE)
  endif()
endfunction()

# The expectation of one file, the platform's own where the build differs.
function(expectation name out)
  set(path "${CASE}/expected/${name}")
  if(DEFINED PLATFORM AND EXISTS "${path}.${PLATFORM}")
    set(path "${path}.${PLATFORM}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

expectation(stdout expected_stdout)
# file(READ) as text drops carriage returns, so @ARGV0@ and the banner word
# are put in place in the hexadecimal form of both outputs.
file(READ "${expected_stdout}" expected_hex HEX)
string(HEX "@ARGV0@" marker_hex)
string(FIND "${expected_hex}" "${marker_hex}" has_argv0)
set(banner_hex "")
if(DEFINED BANNER_WORD AND NOT BANNER_WORD STREQUAL "linux"
   AND NOT expected_stdout MATCHES "\\.${PLATFORM}$")
  string(HEX "Module (linux)" banner_hex)
endif()
if(has_argv0 EQUAL -1 AND banner_hex STREQUAL "")
  compare_file("${WORK}/stdout" "${expected_stdout}" "stdout")
else()
  string(HEX "${argv0}" argv0_hex)
  string(REPLACE "${marker_hex}" "${argv0_hex}" expected_hex "${expected_hex}")
  if(NOT banner_hex STREQUAL "")
    string(HEX "Module (${BANNER_WORD})" word_hex)
    string(REPLACE "${banner_hex}" "${word_hex}" expected_hex "${expected_hex}")
  endif()
  file(READ "${WORK}/stdout" actual_hex HEX)
  if(NOT actual_hex STREQUAL expected_hex)
    string(APPEND failures "\n  differs: stdout (actual ${WORK}/stdout)")
  endif()
endif()

set(expected_status 0)
if(EXISTS "${CASE}/expected/status")
  file(READ "${CASE}/expected/status" expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()
if(NOT "${status}" STREQUAL "${expected_status}")
  string(APPEND failures "\n  exit status ${status}, expected ${expected_status}")
endif()

if(NOT "${stderr_text}" STREQUAL "")
  string(APPEND failures "\n  standard error is not empty:\n${stderr_text}")
endif()

# Every file left behind: expected ones match, inputs are unchanged, nothing else.
file(GLOB_RECURSE left RELATIVE "${run_dir}" "${run_dir}/*")
set(expected_files "")
if(IS_DIRECTORY "${CASE}/expected")
  file(GLOB_RECURSE expected_files RELATIVE "${CASE}/expected" "${CASE}/expected/*")
  list(FILTER expected_files EXCLUDE REGEX "^(stdout(\\..*)?|status)$")
  list(FILTER expected_files EXCLUDE REGEX "\\.(linux|macos|freebsd|windows)$")
endif()
set(input_files "")
if(IS_DIRECTORY "${CASE}/input")
  file(GLOB_RECURSE input_files RELATIVE "${CASE}/input" "${CASE}/input/*")
endif()
foreach(f IN LISTS expected_files)
  expectation("${f}" expected_file)
  compare_file("${run_dir}/${f}" "${expected_file}" "${f}")
endforeach()
foreach(f IN LISTS input_files)
  if(NOT f IN_LIST expected_files)
    compare_file("${run_dir}/${f}" "${CASE}/input/${f}" "input ${f}")
  endif()
endforeach()
foreach(f IN LISTS left)
  if(NOT f IN_LIST expected_files AND NOT f IN_LIST input_files)
    string(APPEND failures "\n  unexpected file: ${f}")
  endif()
endforeach()

if(NOT "${failures}" STREQUAL "")
  message(FATAL_ERROR "case ${CASE} failed:${failures}")
endif()

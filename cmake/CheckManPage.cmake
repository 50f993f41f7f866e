# Checks a man page under `cmake -P`: groff formats it without a warning, it
# has the sections a reader looks for, and it names every word in WORDS.
#
#   -DPAGE=<man page>  -DGROFF=<groff>  -DWORDS=<word;word;...>
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z ${PAGE}
                RESULT_VARIABLE status ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff on ${PAGE}: status ${status}\n${warnings}")
endif()

file(READ ${PAGE} text)
set(missing "")
foreach(section NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" EXAMPLES)
  string(FIND "${text}" ".SH ${section}\n" at)
  if(at EQUAL -1)
    list(APPEND missing "section ${section}")
  endif()
endforeach()
foreach(word IN LISTS WORDS)
  # The page writes a minus sign as \-.
  string(REPLACE "-" "\\-" escaped "${word}")
  string(FIND "${text}" "${escaped}" at)
  if(at EQUAL -1)
    list(APPEND missing "${word}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "${PAGE} lacks: ${missing}")
endif()

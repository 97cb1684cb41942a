# Fails when the options named by `PROGRAM --help` and by its manual page
# MANPAGE (roff) differ. An option is a word that starts with one or two
# dashes and a letter (-t, --show-teacher), wherever it stands, so an option
# added to, renamed in or dropped from either text is caught.
execute_process(COMMAND "${PROGRAM}" --help
                RESULT_VARIABLE status OUTPUT_VARIABLE help ERROR_VARIABLE help)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${status}): ${help}")
endif()

file(READ "${MANPAGE}" page)
# roff: "\-" is a dash, "\fB" and the like change the font, "\(lq" and the
# like are single characters.
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f(\\(..|\\[[^]]*\\]|.)" "" page "${page}")
string(REGEX REPLACE "\\\\\\(.." " " page "${page}")

function(options_named text result)
  # Square brackets would keep CMake from splitting the list of matches.
  string(REPLACE "[" " " text "${text}")
  string(REPLACE "]" " " text "${text}")
  string(REGEX MATCHALL "(^|[^A-Za-z0-9_.-])--?[A-Za-z][A-Za-z0-9-]*" words "${text}")
  set(options)
  foreach(word ${words})
    string(REGEX REPLACE "^[^-]" "" option "${word}")
    list(APPEND options "${option}")
  endforeach()
  list(REMOVE_DUPLICATES options)
  list(SORT options)
  set(${result} "${options}" PARENT_SCOPE)
endfunction()

options_named("${help}" in_help)
options_named("${page}" in_page)
if(NOT in_help)
  message(FATAL_ERROR "no option found in the output of ${PROGRAM} --help")
endif()

set(only_in_help ${in_help})
list(REMOVE_ITEM only_in_help ${in_page})
set(only_in_page ${in_page})
list(REMOVE_ITEM only_in_page ${in_help})
if(only_in_help OR only_in_page)
  message(FATAL_ERROR "--help and ${MANPAGE} disagree:\n"
                      "  only in --help: ${only_in_help}\n"
                      "  only in the manual page: ${only_in_page}")
endif()
message(STATUS "${PROGRAM}: --help and the manual page name the same options: ${in_help}")

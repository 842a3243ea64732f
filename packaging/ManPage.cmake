# Writes the manual page of quiltara-cli from what the program itself says with --help
# and --version, so the page lists every command the program has.
#   cmake -DCLI=/path/to/quiltara-cli -DOUT=quiltara-cli.1 -P ManPage.cmake
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CLI} --help failed (${status})")
endif()
execute_process(COMMAND "${CLI}" --version OUTPUT_VARIABLE version
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CLI} --version failed (${status})")
endif()

# Text as roff shows it: backslashes escaped, no line taken for a request.
function(roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
# A usage: options and arguments keep their hyphens as typed.
function(roff_usage out text)
  roff(text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(summary "")
set(synopsis "")
set(commands "")
set(in_commands FALSE)
set(have_entry FALSE)
while(NOT help STREQUAL "")
  string(FIND "${help}" "\n" end)
  if(end EQUAL -1)
    set(line "${help}")
    set(help "")
  else()
    string(SUBSTRING "${help}" 0 ${end} line)
    math(EXPR next "${end} + 1")
    string(SUBSTRING "${help}" ${next} -1 help)
  endif()
  if(line STREQUAL "")
    continue()
  elseif(summary STREQUAL "" AND line MATCHES "^[^ ]+ [^ ]+: (.*[^.])\\.?$")
    set(summary "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^usage: +(.*)$")
    roff_usage(text "${CMAKE_MATCH_1}")
    string(APPEND synopsis ".br\n${text}\n")
  elseif(NOT in_commands AND line MATCHES "^ +(quiltara-cli.*)$")
    roff_usage(text "${CMAKE_MATCH_1}")
    string(APPEND synopsis ".br\n${text}\n")
  elseif(line STREQUAL "commands:")
    set(in_commands TRUE)
  elseif(in_commands AND line MATCHES "^  [^ ]")
    # A command: its usage, then its summary after a gap (or on the next line).
    string(SUBSTRING "${line}" 2 -1 line)
    string(FIND "${line}" "  " gap)
    set(usage "${line}")
    set(text "")
    if(NOT gap EQUAL -1)
      string(SUBSTRING "${line}" 0 ${gap} usage)
      string(SUBSTRING "${line}" ${gap} -1 text)
      string(STRIP "${text}" text)
    endif()
    roff_usage(usage "${usage}")
    string(APPEND commands ".TP\n.B ${usage}\n")
    if(NOT text STREQUAL "")
      roff(text "${text}")
      string(APPEND commands "${text}\n")
    endif()
    set(have_entry TRUE)
  elseif(in_commands AND have_entry AND line MATCHES "^ +([^ ].*)$")
    roff(text "${CMAKE_MATCH_1}")
    string(APPEND commands "${text}\n")
  else()
    roff(text "${line}")
    string(APPEND commands "${text}\n")
  endif()
endwhile()
if(summary STREQUAL "" OR commands STREQUAL "")
  message(FATAL_ERROR "${CLI} --help did not give a summary and a list of commands")
endif()
string(REGEX REPLACE "^\\.br\n" "" synopsis "${synopsis}")

roff(version "${version}")
file(WRITE "${OUT}" ".TH QUILTARA-CLI 1 \"\" \"${version}\" \"User Commands\"
.SH NAME
quiltara-cli \\- ${summary}
.SH SYNOPSIS
.nh
.ad l
${synopsis}.SH DESCRIPTION
.B quiltara\\-cli
runs the tools of the Quiltara texture editor from the command line: the tile wizard's
cut, filters, adjustments, conversions and reports, one command a call.
.B quiltara\\-cli
.I COMMAND
.B \\-\\-help
prints the usage of one command.
.SH COMMANDS
${commands}")

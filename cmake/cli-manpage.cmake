# Writes the manual page of orrelin-cli from its help: cmake -DCLI=PROGRAM -DOUT=FILE
# -DVERSION=X.Y.Z -P cli-manpage.cmake. Each subcommand's help goes in as the program prints it.

function(help_of out)
    execute_process(COMMAND ${CLI} ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${CLI} ${ARGN} --help failed (${status})")
    endif()
    # The program names itself as it was started: the page names it orrelin-cli.
    string(REPLACE "${CLI}" "orrelin-cli" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# roff text of plain text: backslashes doubled, a leading dot or quote kept from being a request.
function(roff out text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(main)
string(REGEX MATCH "Subcommands:\n(.*)" ignored "${main}")
set(commands_text "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\n?  ([a-z]+) " found "${commands_text}")
set(commands "")
foreach(line IN LISTS found)
    string(STRIP "${line}" name)
    list(APPEND commands ${name})
endforeach()
string(REGEX MATCH "^[^\n]*" summary "${main}")

roff(main_roff "${main}")
set(page ".TH ORRELIN-CLI 1 \"\" \"orrelin-cli ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\norrelin-cli \\- ${summary}\n")
string(APPEND page ".SH SYNOPSIS\n.B orrelin-cli\n\\fICOMMAND\\fR [\\fIOPTIONS\\fR] \\fIFILE\\fR\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${main_roff}.fi\n")
string(APPEND page ".SH COMMANDS\n")
foreach(command IN LISTS commands)
    help_of(text ${command})
    roff(text "${text}")
    string(APPEND page ".SS ${command}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND page ".SH EXIT STATUS\n0 when the command did what was asked, another value when it"
    " did not; the reason is printed on the standard error.\n")
string(APPEND page ".SH FILES\n.TP\n\\fI$XDG_CONFIG_HOME/orrelin_beta.conf\\fR"
    " (else \\fI~/.config/orrelin_beta.conf\\fR)\nthe stored time-zone setting that"
    " \\fB\\-\\-tz\\fR stands in for.\n")
string(APPEND page ".SH SEE ALSO\n.BR orrelin (1)\n")
file(WRITE "${OUT}" "${page}")

# Writes a manual page from a program's own --help, so the two never differ.
#   cmake -DPROGRAM=path -DNAME=name -DSUMMARY=text -DVERSION=x.y.z -DOUTPUT=file.1
#         -P help_to_man.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status
                ENCODING UTF-8)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()

# roff: a backslash is \e, a hyphen \-, a line starting with a dot or an
# apostrophe would be a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(REGEX REPLACE "\n+$" "" help "${help}")
string(TOUPPER "${NAME}" title)
string(REPLACE "-" "\\-" name "${NAME}")
file(WRITE ${OUTPUT}
     ".TH ${title} 1 \"\" \"tavrel ${VERSION}\" \"User Commands\"\n"
     ".SH NAME\n${name} \\- ${SUMMARY}\n"
     ".SH DESCRIPTION\n"
     "The text of \\fB${name} \\-\\-help\\fR:\n"
     ".PP\n.nf\n${help}\n.fi\n")

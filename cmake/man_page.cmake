# Writes the manual page of quillset-build from its --help texts.
#   cmake -DPROGRAM=... -DOUTPUT=... -P man_page.cmake
function(help_of out)
  execute_process(COMMAND ${PROGRAM} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${ARGN} failed")
  endif()
  # roff: a backslash is written \e, a line may not begin with . or '.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_of(general --help)
set(page ".TH QUILLSET-BUILD 1 \"\" \"quillset-build\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nquillset-build \\- make, edit, check and build installer projects\n")
string(APPEND page ".SH DESCRIPTION\n.nf\n${general}.fi\n")
foreach(command new add remove set macro shortcut image registry association path env show check build manifest describe)
  help_of(text ${command} --help)
  string(TOUPPER "${command}" title)
  string(APPEND page ".SH ${title}\n.nf\n${text}.fi\n")
endforeach()
string(APPEND page ".SH FILES\n.TP\n/usr/lib/quillset/\n"
       "ext.dat (the installer stub), uninst.dat (the uninstaller), their x86_64 builds ext64.dat and uninst64.dat, "
       "and setup.JPG, found beside the program's own file.\n")
file(WRITE ${OUTPUT} "${page}")

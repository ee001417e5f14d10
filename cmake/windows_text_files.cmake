# cmake -DGROFF=... -DMAN_PAGE=... -DCOPYRIGHT=... -DOUT_DIR=... -P windows_text_files.cmake
# The manual page as plain text, and the copyright, with CR LF line ends.
file(MAKE_DIRECTORY ${OUT_DIR})
execute_process(
  COMMAND ${GROFF} -man -Tutf8 -P-c -P-b -P-u -rLL=78n -rcR=1 ${MAN_PAGE}
  OUTPUT_VARIABLE page RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  message(FATAL_ERROR "groff could not lay out ${MAN_PAGE}: ${errors}")
endif()
file(READ ${COPYRIGHT} copyright)
foreach(pair "page;morvane-convert.txt" "copyright;copyright.txt")
  list(GET pair 0 var)
  list(GET pair 1 name)
  string(REPLACE "\r\n" "\n" text "${${var}}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${OUT_DIR}/${name} "${text}")
endforeach()

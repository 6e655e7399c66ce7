# Renders a man page to HTML with groff: cmake -DGROFF=... -DPAGE=<man page>
# -DHTML=<output> -P render_manual.cmake. Any message of groff fails the
# rendering, so that the manuals shipped are whole. The HTML manuals are the
# Windows ZIP's: the pages' register windows selects what they say of
# Windows and leaves out what holds only on POSIX systems.
execute_process(COMMAND "${GROFF}" -man -Thtml -ww -rwindows=1 "${PAGE}"
                OUTPUT_FILE "${HTML}.part" ERROR_VARIABLE messages RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT messages STREQUAL "")
  file(REMOVE "${HTML}.part")
  message(FATAL_ERROR "groff could not render ${PAGE} to HTML (${result}): ${messages}")
endif()
file(RENAME "${HTML}.part" "${HTML}")

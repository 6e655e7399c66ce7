# Puts the tuning page together into one HTML file: the markup of page.html
# with its style (page.css), the module (MODULE) and its WebAssembly code
# (CODE, compressed), the bundled example definition files (as hexadecimal
# bytes, so that they stay byte for byte) and the page's script (page.js).
cmake_minimum_required(VERSION 3.25)
# Run with -DMODULE=... -DCODE=... -DSOURCE_DIR=... -DEXAMPLES_DIR=... -DVERSION=... -DOUTPUT=...
# -DNODE=... -DMINIFIER=... (Emscripten's JavaScript minifier, which the
# script goes through without its comments and blanks, as the module does).
file(READ ${SOURCE_DIR}/page.html html)
file(READ ${SOURCE_DIR}/page.css style)
execute_process(COMMAND ${NODE} ${MINIFIER} ${SOURCE_DIR}/page.js minifyWhitespace
                OUTPUT_VARIABLE script RESULT_VARIABLE minified)
if(NOT minified EQUAL 0)
  message(FATAL_ERROR "The page's script could not be minified (${minified})")
endif()
# The style without its comments, and its lines without their indent.
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" style "${style}")
string(REGEX REPLACE "\n[ ]+" "\n" style "${style}")
file(READ ${MODULE} module)
file(READ ${CODE} code)
string(APPEND module "\n${code}")

# Nothing inside a script element may close it early.
foreach(part module script)
  string(TOLOWER "${${part}}" lower)
  string(FIND "${lower}" "</script" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "The ${part} holds \"</script\", which would end its script element")
  endif()
endforeach()

file(GLOB examples RELATIVE ${EXAMPLES_DIR} ${EXAMPLES_DIR}/*.cfg)
list(SORT examples)
set(bundled "const BUNDLED_EXAMPLES = [\n")
foreach(example IN LISTS examples)
  file(READ ${EXAMPLES_DIR}/${example} hex HEX)
  string(APPEND bundled "  ['${example}', '${hex}'],\n")
endforeach()
string(APPEND bundled "];")

string(REPLACE "/*@STYLE@*/" "${style}" html "${html}")
string(REPLACE "@VERSION@" "${VERSION}" html "${html}")
string(REPLACE "/*@MODULE@*/" "${module}" html "${html}")
string(REPLACE "/*@EXAMPLES@*/" "${bundled}" html "${html}")
string(REPLACE "/*@SCRIPT@*/" "${script}" html "${html}")
file(WRITE ${OUTPUT} "${html}")

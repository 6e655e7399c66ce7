# The tuning page, with Emscripten: the core and its binding compiled to
# WebAssembly and embedded in one JavaScript file, and that file put with
# the page's markup, style, script and the bundled examples into one HTML
# file, lumora-tuning.html, that needs nothing else.
add_executable(lumora_page_module bindings.cpp)
target_link_libraries(lumora_page_module PRIVATE veska_web veska_warnings)
# The page is one file to download: the smaller allocator and the
# module's code optimised for size and put in the page compressed (the page
# hands it to the module as wasmBinary, the one option the module reads)
# each take bytes off it. Texts shorter than 17 bytes, most of those an
# evaluation hands the page, are read without TextDecoder, whose every
# call costs more than such a text. The binding's calls are made without
# generating code at run time, so that the page's policy forbids eval. The
# model's runs keep their files in memory (MemoryFileSystem), so the module
# carries no file system of its own, which would take a fifth of the page's
# bytes and time at every start.
target_link_options(lumora_page_module PRIVATE
  --bind -sMODULARIZE=1 -sEXPORT_NAME=createLumora -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1 -sFILESYSTEM=0 -sWASM_ASYNC_COMPILATION=0
  -Oz -sMALLOC=emmalloc -sTEXTDECODER=1 -sINCOMING_MODULE_JS_API=[wasmBinary] -sDYNAMIC_EXECUTION=0)

# Node.js packs the module's code and minifies the script (the toolchain
# file finds it only where no emulator was given, as emcmake gives one).
find_program(NODE_JS_EXECUTABLE NAMES nodejs node REQUIRED)
set(page ${PROJECT_BINARY_DIR}/lumora-tuning.html)
file(GLOB page_examples ${PROJECT_SOURCE_DIR}/examples/*.cfg)
add_custom_command(
  OUTPUT ${page}
  COMMAND ${NODE_JS_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/pack_module.mjs
          $<TARGET_FILE_DIR:lumora_page_module>/lumora_page_module.wasm ${PROJECT_BINARY_DIR}/lumora_page_code.js
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=$ENV{NODE_PATH}
          ${CMAKE_COMMAND} -DMODULE=$<TARGET_FILE:lumora_page_module> -DCODE=${PROJECT_BINARY_DIR}/lumora_page_code.js -DSOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}
          -DEXAMPLES_DIR=${PROJECT_SOURCE_DIR}/examples -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page}
          -DNODE=${NODE_JS_EXECUTABLE} -DMINIFIER=${EMSCRIPTEN_ROOT_PATH}/tools/acorn-optimizer.js
          -P ${CMAKE_CURRENT_SOURCE_DIR}/assemble_page.cmake
  DEPENDS lumora_page_module page.html page.css page.js assemble_page.cmake pack_module.mjs ${page_examples}
  COMMENT "Putting the tuning page together: lumora-tuning.html"
  VERBATIM)
add_custom_target(lumora_page ALL DEPENDS ${page})

# The page in a browser: headless Chromium against the native programs of
# the release build (VESKA_NATIVE_BUILD).
set(VESKA_NATIVE_BUILD ${PROJECT_SOURCE_DIR}/build CACHE PATH "The native build whose programs the page is compared with")
find_program(NODE node)
if(NODE)
  add_test(NAME tuning_page_in_browser
           COMMAND ${NODE} ${PROJECT_SOURCE_DIR}/tests/web/page_test.mjs --page ${page}
                   --native ${VESKA_NATIVE_BUILD} --examples ${PROJECT_SOURCE_DIR}/examples
                   --artifacts ${PROJECT_BINARY_DIR}/test-artifacts)
  set_tests_properties(tuning_page_in_browser PROPERTIES TIMEOUT 600)
  add_test(NAME mending_in_browser
           COMMAND ${NODE} ${PROJECT_SOURCE_DIR}/tests/web/mending_test.mjs --page ${page}
                   --artifacts ${PROJECT_BINARY_DIR}/test-artifacts)
  set_tests_properties(mending_in_browser PROPERTIES TIMEOUT 300)
  # The page as a bench: the picture in view, undo and redo, work kept,
  # files refused, the controls' names and states.
  add_test(NAME tuning_bench_in_browser
           COMMAND ${NODE} ${PROJECT_SOURCE_DIR}/tests/web/bench_test.mjs --page ${page}
                   --examples ${PROJECT_SOURCE_DIR}/examples)
  set_tests_properties(tuning_bench_in_browser PROPERTIES TIMEOUT 600)
endif()

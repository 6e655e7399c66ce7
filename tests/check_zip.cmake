# Packs the Windows ZIP with the package's own CPack settings and checks its
# README.txt and example definition files: CRLF line ends throughout, and
# every file that the ZIP holds
# named in it (a file in a folder as a Windows path,
# examples\one_light.cfg). The ZIP is packed from an install of the build,
# which is what CPack packs: CPack's own install would first build whatever
# is out of date, under the feet of the tests that run beside this one. Run
# with -DCPACK=<cpack> -DBUILD_DIR=<the build> -DWORK=<a folder that may be
# made anew>.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK}/installed"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE said)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}): ${said}")
endif()
execute_process(COMMAND "${CPACK}" -G ZIP -B "${WORK}/package" --config "${BUILD_DIR}/CPackConfig.cmake"
                        -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=${WORK}/installed;."
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
file(GLOB zips "${WORK}/package/*.zip")
list(LENGTH zips count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made no ZIP (${result}): ${said}")
endif()
file(ARCHIVE_EXTRACT INPUT "${zips}" DESTINATION "${WORK}/unpacked")
# Everything lies in the one folder the ZIP unpacks to.
file(GLOB top RELATIVE "${WORK}/unpacked" "${WORK}/unpacked/*")
list(LENGTH top count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "the ZIP does not hold exactly one folder at its top: ${top}")
endif()
set(folder "${WORK}/unpacked/${top}")
if(NOT EXISTS "${folder}/README.txt")
  message(FATAL_ERROR "the ZIP holds no README.txt")
endif()

# The line ends of README.txt and of the example definition files, byte by
# byte (file(READ) as text would drop the CRs): every byte pair 0a must
# follow 0d.
file(GLOB examples RELATIVE "${folder}" "${folder}/examples/*.cfg")
if(NOT examples)
  message(FATAL_ERROR "the ZIP holds no example definition files")
endif()
foreach(text IN ITEMS README.txt ${examples})
  file(READ "${folder}/${text}" bytes HEX)
  string(REGEX MATCHALL "0d0a|0a|.." pieces "${bytes}")
  set(crlf_ends ${pieces})
  list(FILTER crlf_ends INCLUDE REGEX "^0d0a$")
  set(bare_ends ${pieces})
  list(FILTER bare_ends INCLUDE REGEX "^0a$")
  list(LENGTH crlf_ends crlfs)
  list(LENGTH bare_ends bare)
  if(crlfs EQUAL 0 OR NOT bare EQUAL 0)
    message(FATAL_ERROR "${text} has ${bare} line ends without CR and ${crlfs} with")
  endif()
endforeach()

file(READ "${folder}/README.txt" readme)

# The manuals are Windows' own: they say what holds there, leave out what
# holds only on POSIX systems, and link to each other.
foreach(pair IN ITEMS "veska.html:veska-inspect.html" "veska-inspect.html:veska.html")
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 page)
  list(GET pair 1 other)
  file(READ "${folder}/${page}" manual)
  foreach(said IN ITEMS "href=\"${other}\"" "read-only" "another program" "/?")
    string(FIND "${manual}" "${said}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${page} does not say ${said}")
    endif()
  endforeach()
  foreach(posix_only IN ITEMS "SIGKILL" "sticky" "access control list" "set-user-ID" "man veska")
    string(FIND "${manual}" "${posix_only}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${page} says ${posix_only}, which holds only on POSIX systems")
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE files RELATIVE "${folder}" "${folder}/*")
set(unnamed "")
foreach(name IN LISTS files)
  string(REPLACE "/" "\\" windows_name "${name}")
  string(FIND "${readme}" "${windows_name}" at)
  if(at EQUAL -1)
    list(APPEND unnamed "${windows_name}")
  endif()
endforeach()
if(unnamed)
  message(FATAL_ERROR "README.txt does not name these files of the ZIP: ${unnamed}")
endif()
file(REMOVE_RECURSE "${WORK}")
list(LENGTH files count)
message(STATUS "README.txt and the examples have CRLF line ends; README.txt names all ${count} files of the ZIP")

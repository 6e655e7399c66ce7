# Fails when a library of the program holds writable data of its own at
# namespace scope: an object in a data or zero-filled section that is not
# made read-only once relocated (so tables of pointers and the compiler's
# vtables pass, a global variable does not). Everything a run uses must live
# in records that the caller creates. The one exception is the record that a
# signal handler must reach, whose name says so. Symbols the compiler makes
# for itself are not the project's own.
# Run with -DNM=<nm> -DLIBRARIES=<library files, separated by ;>.
set(problems "")
foreach(library IN LISTS LIBRARIES)
  execute_process(COMMAND "${NM}" -C --format=sysv "${library}" RESULT_VARIABLE result OUTPUT_VARIABLE listing
                  ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${library}: ${errors}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    # name|value|class|type|size|line|section
    if(NOT line MATCHES "^([^|]*)\\|[^|]*\\|[^|]*\\|[^|]*\\|[^|]*\\|[^|]*\\|[ \t]*([^ \t|]+)[ \t]*$")
      continue()
    endif()
    string(STRIP "${CMAKE_MATCH_1}" name)
    set(section "${CMAKE_MATCH_2}")
    if(NOT section MATCHES "^\\.(data|bss|tdata|tbss)" OR section MATCHES "^\\.data\\.rel\\.ro")
      continue()
    endif()
    if(name MATCHES "^(DW\\.ref\\.|__|\\.|_ZGV|guard variable|std::|__gnu_cxx::)" OR name MATCHES "for_signal_handler"
       OR name STREQUAL "")
      continue()
    endif()
    get_filename_component(library_name "${library}" NAME)
    string(APPEND problems "  ${library_name}: ${name} (${section})\n")
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Writable data at namespace scope:\n${problems}")
endif()
list(LENGTH LIBRARIES count)
message(STATUS "${count} libraries hold no writable data of their own")

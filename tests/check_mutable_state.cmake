# Fails when a library of the program holds writable data of its own at
# namespace scope (nm's B, D, G, S and V symbols, and their local forms):
# everything a run uses must live in records that the caller creates. The
# one exception is the record that a signal handler must reach, whose name
# says so. Symbols the compiler makes for itself (among them the tables of
# virtual functions and the type records, which are written only when the
# program is loaded) are not the project's own.
# Run with -DNM=<nm> -DLIBRARIES=<library files, separated by ;>.
set(problems "")
foreach(library IN LISTS LIBRARIES)
  execute_process(COMMAND "${NM}" -C "${library}" RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${library}: ${errors}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[0-9a-fA-F]* +([BbDdGgSsVv]) (.*)$")
      continue()
    endif()
    set(name "${CMAKE_MATCH_2}")
    if(name MATCHES "^(DW\\.ref\\.|__|\\.|_ZGV|guard variable|std::|__gnu_cxx::|vtable for |typeinfo for |typeinfo name for )"
       OR name MATCHES "for_signal_handler")
      continue()
    endif()
    get_filename_component(library_name "${library}" NAME)
    string(APPEND problems "  ${library_name}: ${line}\n")
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Writable data at namespace scope:\n${problems}")
endif()
list(LENGTH LIBRARIES count)
message(STATUS "${count} libraries hold no writable data of their own")

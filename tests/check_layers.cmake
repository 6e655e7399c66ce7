# Fails when a file of the program includes a header from a layer above its
# own. The layers, from the bottom: the shared basics (and the platform
# layer), the definition file, the lights, the model, and on top the driver
# and the inspector, which do not include each other.
# Run with -DSOURCE_DIR=<project root>.
set(rank_platform 0)
set(rank_basics 0)
set(rank_definition 1)
set(rank_lights 2)
set(rank_mdl 3)
set(rank_driver 4)
set(rank_inspect 4)
set(layers platform basics definition lights mdl driver inspect)

set(violations "")
set(checked 0)
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp"
       "${SOURCE_DIR}/${layer}/*.in")
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      if(line MATCHES "\"([^/\"]+)/")
        set(used "${CMAKE_MATCH_1}")
        if(NOT DEFINED rank_${used})
          continue()
        endif()
        if(NOT used STREQUAL layer AND NOT rank_${used} LESS rank_${layer})
          string(APPEND violations "  ${file}: ${line}\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "no files found under ${SOURCE_DIR}")
endif()
if(violations)
  message(FATAL_ERROR "Includes from a layer above the file's own:\n${violations}")
endif()
message(STATUS "${checked} files include only from their own layer or below")

// The program-wide state of one run. Everything lives here or in the records
// of the lights subsystem; reset_program_state returns all of it to the state
// the program starts in, so that a process can run the sequence many times.
#pragma once

#include <cstdint>

#include "definition/definition_store.h"
#include "mdl/mdl_image.h"

constexpr unsigned LINE_BUFFER_SIZE = 256;

struct RunState {
    const char* definition_name;  // as given on the command line
    MdlImage image;
    std::uint32_t error_flag;     // set by every error message; nothing is written while set
    char line_buffer[LINE_BUFFER_SIZE];
    std::uint32_t line_counter;   // lines of the definition file read so far
    std::uint32_t light_count;    // from Lights, 0 until [Main] has been read
    DefinitionSection sections[SECTION_COUNT];  // [Main], [Light 1] .. [Light 3]
};

extern RunState run_state;

// Releases what a run allocated and returns every program-wide record
// (run state, ground geometry, light records, code templates, the stored
// scrambled blocks) to its state at program start.
void reset_program_state();

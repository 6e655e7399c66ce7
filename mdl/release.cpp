#include <cstdlib>

#include "driver/run_state.h"
#include "mdl/mdl_image.h"

void release_all()
{
    std::free(run_state.image.buffer);
    run_state.image.buffer = nullptr;
    run_state.image.code_area = nullptr;
    for (DefinitionSection& section : run_state.sections) {
        clear_section(section);
    }
}

#include "driver/run_state.h"

#include "driver/banner.h"
#include "lights/code_templates.h"
#include "lights/ground_pitch.h"
#include "lights/light_geometry.h"
#include "mdl/insertion.h"
#include "mdl/output.h"

RunState run_state{};

void reset_program_state()
{
    release_all();
    run_state = RunState{};
    ground_geometry = GroundGeometry{};
    reset_light_records();
    reset_code_templates();
    reset_banner();
    reset_trailer_block();
    output_fault = OutputFault{};
}

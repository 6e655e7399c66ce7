#include "inspect/strip.h"

#include "driver/console.h"
#include "driver/run_state.h"
#include "inspect/descriptions.h"
#include "inspect/insertion_layout.h"
#include "inspect/structure_check.h"
#include "mdl/output.h"

namespace {

int refuse(const char* message, const char* name, const char* reason)
{
    console_print(message, name, reason);
    console_write("Nothing written.\n");
    release_all();
    return 1;
}

}  // namespace

int run_strip(const char* model_name, const char* target_name)
{
    const char* target = target_name != nullptr ? target_name : model_name;
    StructureFindings findings{};
    if (read_model(model_name, &findings) != 0) {
        return 1;
    }
    MdlImage& image = run_state.image;
    char text[512];
    if (findings.result != STRUCTURE_OK) {
        describe_structure_fault(image, findings, text, sizeof text);
        return refuse("%s is not a MDL file: %s.\n", model_name, text);
    }
    const InsertionLayout layout = find_insertion(image.code_area);
    if (layout.problem != INSERTION_COMPLETE) {
        describe_insertion(image.code_area, layout, text, sizeof text);
        return refuse("Cannot take landing lights out of %s: %s.\n", model_name, text);
    }
    take_out_insertion(image.code_area, layout);
    const int result = write_target(target, image.buffer, image.size);
    if (result != 0) {
        release_all();
        return result;
    }
    const unsigned n = layout.block.lights;
    console_print("%u landing light%s and the trailer block taken out of %s; the restored model is written to %s.\n",
                  n, n == 1 ? "" : "s", model_name, target);
    release_all();
    return 0;
}

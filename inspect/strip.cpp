#include "inspect/strip.h"

#include "inspect/descriptions.h"
#include "inspect/insertion_layout.h"
#include "inspect/structure_check.h"
#include "mdl/output.h"

namespace lumora {

namespace {

int refuse(const Console& console, MdlImage& image, const char* message, const char* name, const char* reason)
{
    console_print(console, message, name, reason);
    console_write(console, "Nothing written.\n");
    release_image(image);
    return 1;
}

}  // namespace

int run_strip(const Console& console, FileSystem& files, const char* model_name, const char* target_name)
{
    const char* target = target_name != nullptr ? target_name : model_name;
    MdlImage image{};
    StructureFindings findings{};
    if (read_model(console, image, model_name, &findings) != 0) {
        return 1;
    }
    char text[512];
    if (findings.result != StructureCheck::ok) {
        describe_structure_fault(image, findings, text, sizeof text);
        return refuse(console, image, "%s is not a MDL file: %s.\n", model_name, text);
    }
    const InsertionLayout layout = find_insertion(image.code_area);
    if (layout.problem != InsertionProblem::complete) {
        describe_insertion(image.code_area, layout, text, sizeof text);
        return refuse(console, image, "Cannot take landing lights out of %s: %s.\n", model_name, text);
    }
    take_out_insertion(image.code_area, layout);
    const int result = write_target(OutputContext{console, nullptr, files}, target, image.buffer, image.size);
    release_image(image);
    if (result != 0) {
        return 1;
    }
    const unsigned n = layout.block.lights;
    console_print(console, "%u landing light%s and the trailer block taken out of %s; the restored model is written to %s.\n",
                  n, n == 1 ? "" : "s", model_name, target);
    return 0;
}

}  // namespace lumora

#include "inspect/strip.h"

#include "inspect/structure_check.h"
#include "mdl/insertion_layout.h"
#include "output/output.h"

namespace lumora {

namespace {

int refuse(Diagnostics& diagnostics, MessageId message, const std::string& name, const std::string& reason)
{
    report(diagnostics, message, {name, reason});
    report(diagnostics, MessageId::nothing_written);
    return 1;
}

}  // namespace

int run_strip(const Console& console, FileSystem& files, const std::string& model_name,
              const std::optional<std::string>& target_name)
{
    const std::string& target = target_name ? *target_name : model_name;
    MessagePrinter printer{console};
    Diagnostics diagnostics{printer};
    MdlImage image;
    StructureFindings findings{};
    if (read_model(diagnostics, files, image, model_name, &findings) != Step::done) {
        return 1;
    }
    // Only veska's own insertion is taken out, giving back the model exactly
    // as it was before veska processed it; anything else is refused with a
    // message that says why and "Nothing written.", and nothing is written.
    if (findings.result != StructureCheck::ok) {
        return refuse(diagnostics, MessageId::strip_not_a_model, model_name, describe_structure_fault(image, findings));
    }
    const InsertionLayout layout = find_insertion(image.code_area);
    if (layout.problem != InsertionProblem::complete) {
        return refuse(diagnostics, MessageId::strip_refused, model_name, describe_insertion(image.code_area, layout));
    }
    take_out_code(image.code_area, layout.block.size, layout.code_length);
    if (write_target(OutputContext{diagnostics, nullptr, files}, target.c_str(), image.buffer.get(), image.size) != 0) {
        return 1;
    }
    report(diagnostics, MessageId::lights_taken_out, {layout.block.lights, model_name, target});
    return 0;
}

}  // namespace lumora

#include "inspect/report.h"


#include "basics/formatted.h"
#include "basics/le_words.h"
#include "mdl/insertion_layout.h"
#include "lights/light_decoding.h"
#include "inspect/structure_check.h"
#include "lights/code_templates.h"
#include "mdl/insertion.h"

namespace lumora {

namespace {

void print_header_words(std::string& text, const std::uint8_t* area)
{
    append_format(text, "Model-code area (file offset 0x%X, 65536 bytes), header words:\n", MODEL_CODE_OFFSET);
    const char* const names[3] = {"header length", "length word  ", "third word   "};
    for (unsigned i = 0; i < 3; ++i) {
        const std::uint32_t word = load_u32(area + 4 * i);
        append_format(text, "  %s  %u (0x%08X)\n", names[i], word, word);
    }
}

// U, F and the room for one, two and three lights, as the insertion would
// judge them.
void print_room(std::string& text, const CodeEnd& end, const char* heading)
{
    const std::uint32_t free_room = end.free_room;
    if (!ends_with_end_code(end)) {
        if (end.has_code) {
            append_format(text,
                          "%s: the last non-zero word is 0x%04X at area offset %u, not the end code 0x0022;\n"
                          "  free room F = %u bytes. No lights fit: veska stops with \"Unexpected end of data\".\n",
                          heading, end.last_word, end.last_at, free_room);
        } else {
            append_format(text, "%s: no model code at all (only zeros behind the header). No lights fit.\n",
                          heading);
        }
        return;
    }
    append_format(text, "%s: used length U = %u bytes (end code at area offset %u), free room F = %u bytes.\n",
                  heading, end.used, end.last_at, free_room);
    append_format(text, "Room for landing lights (the block + %u bytes each):\n", ROOM_BESIDES_BLOCK);
    for (unsigned n = 1; n <= LIGHT_COUNT_MAX; ++n) {
        const std::uint32_t needed = template_size(n) + ROOM_BESIDES_BLOCK;
        append_format(text, "  %u light%s %4u bytes needed: %s\n", n, n == 1 ? ": " : "s:", needed,
                      free_room >= needed ? "fits" : "does not fit");
    }
}

// Only where the code ends: a modified model gets no lights anyway.
void print_free_room(std::string& text, const std::uint8_t* area)
{
    const CodeEnd end = find_code_end(area);
    if (!end.has_code) {
        append_format(text, "Model code: none (only zeros behind the header).\n");
        return;
    }
    append_format(text, "Model code: the last non-zero word is 0x%04X at area offset %u, free room F = %u bytes.\n",
                  end.last_word, end.last_at, end.free_room);
}

void print_light(std::string& text, const std::uint8_t* area, unsigned n, unsigned i)
{
    const DecodedLight light = decode_light(area + CODE_HEADER_LENGTH, n, i);
    append_format(text, "Light %u:\n", i);
    append_format(text, "  beam vector   (%d, %d, %d): inclination=%.2f degrees, direction=%.2f degrees\n", light.beam.x,
                  light.beam.y, light.beam.z, light.inclination_deg, light.direction_deg);
    append_format(text, "  scale         %u (one outline unit = %.7g m)\n", static_cast<unsigned>(light.scale), light.unit);
    // The outline's words are the definition file's values divided by the
    // unit and truncated towards zero: "cut", not rounded.
    append_format(text, "  position      x=%.3f m, y=%.3f m, z=%.3f m (cut to the outline unit)\n",
                  light.position[0], light.position[1], light.position[2]);
    append_format(text, "  spot width    %.3f m: SpotWidth, cut to the outline unit\n", light.spot_width);
    // The outline stands in the light's plane, square to the aircraft's
    // axis: its depth is the lit ground's as the beam sees it.
    append_format(text,
                  "  spot depth    %.3f m: the spot's depth as seen along the beam, in the light's plane, cut to the "
                  "outline unit\n"
                  "                (it comes from SpotDepth, MaxRange and the light's height; it is not SpotDepth)\n",
                  light.spot_depth);
}

// A processed model: its lights, the trailer, and the model code as --strip
// would give it back.
void print_processed(std::string& text, std::uint8_t* area, const InsertionLayout& layout)
{
    const unsigned n = layout.block.lights;
    append_format(text, "State: processed: %u landing light%s (the %u-light block, %u bytes at area offset 12, every "
                  "fixed word verified).\n",
                  n, n == 1 ? "" : "s", n, layout.block.size);
    for (unsigned i = 1; i <= n; ++i) {
        print_light(text, area, n, i);
    }
    if (layout.problem != InsertionProblem::complete) {
        append_format(text, "Trailer block: not intact: %s.\n", describe_insertion(area, layout).c_str());
        append_format(text, "--strip refuses this model.\n");
        return;
    }
    append_format(text, "Trailer block: intact (%u bytes at area offset %u, behind the end code and one zero word).\n",
                  TRAILER_SIZE, layout.trailer_at);
    append_format(text, "Free room now: %u bytes.\n", layout.free_room);
    print_room(text, restored_code_end(layout), "Model code before processing (as --strip restores it)");
}

// The report on a model that could be read.
void print_report(std::string& text, MdlImage& image, const StructureFindings& findings,
                  const std::string& model_name)
{
    append_format(text, "Model file: %s (%u bytes)\n", model_name.c_str(), image.size);
    if (findings.result != StructureCheck::ok) {
        append_format(text, "Layout: not accepted: %s.\n", describe_structure_fault(image, findings).c_str());
        return;
    }
    append_format(text, "Layout: accepted (PE header at 0x%X, resource section at file offset 0x%X).\n",
                  findings.pe_offset, RESOURCE_RAW_OFFSET);
    std::uint8_t* area = image.code_area;
    print_header_words(text, area);

    const InsertionLayout layout = find_insertion(area);
    if (layout.problem == InsertionProblem::unmodified) {
        append_format(text, "State: unprocessed (no landing lights).\n");
        print_room(text, find_code_end(area), "Model code");
    } else if (layout.problem == InsertionProblem::no_block) {
        append_format(text, "State: neither unprocessed nor processed by this program: %s.\n",
                      describe_insertion(area, layout).c_str());
        print_free_room(text, area);
        append_format(text, "No lights can be added: veska refuses a model that is not an unmodified MDL file.\n");
    } else {
        print_processed(text, area, layout);
    }
}

}  // namespace

int run_report(const Console& console, FileSystem& files, const std::string& model_name)
{
    MessagePrinter printer{console};
    Diagnostics diagnostics{printer};
    MdlImage image;
    StructureFindings findings{};
    if (read_model(diagnostics, files, image, model_name, &findings) != Step::done) {
        return 1;
    }
    std::string text;
    print_report(text, image, findings, model_name);
    console_write(console, text);
    return 0;
}

}  // namespace lumora

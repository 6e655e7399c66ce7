#include "inspect/report.h"

#include <cstdlib>
#include <cstring>

#include "driver/console.h"
#include "driver/run_state.h"
#include "inspect/descriptions.h"
#include "inspect/insertion_layout.h"
#include "inspect/light_decoding.h"
#include "inspect/structure_check.h"
#include "lights/code_templates.h"
#include "mdl/insertion.h"
#include "mdl/le_words.h"

namespace {

constexpr std::uint32_t ROOM_BESIDES_BLOCK = 2 + TRAILER_SIZE;  // the zero word and the trailer

const char* plural(unsigned count) { return count == 1 ? "" : "s"; }

void print_header_words(const std::uint8_t* area)
{
    console_print("Model-code area (file offset 0x%lX, 65536 bytes), header words:\n",
                  static_cast<unsigned long>(MODEL_CODE_OFFSET));
    const char* const names[3] = {"header length", "length word  ", "third word   "};
    for (unsigned i = 0; i < 3; ++i) {
        const unsigned long word = load_u32(area + 4 * i);
        console_print("  %s  %lu (0x%08lX)\n", names[i], word, word);
    }
}

// U, F and the room for one, two and three lights, as the insertion would
// judge them.
void print_room(const std::uint8_t* area, const char* heading)
{
    const std::uint32_t free_room = count_free_space(area);
    const std::uint32_t last_at = MODEL_CODE_SIZE - 2 - free_room;
    const bool has_code = free_room + CODE_HEADER_LENGTH <= MODEL_CODE_SIZE - 2;
    const std::uint16_t last_word = has_code ? load_u16(area + last_at) : 0;
    if (!has_code || last_word != END_CODE) {
        if (has_code) {
            console_print("%s: the last non-zero word is 0x%04X at area offset %lu, not the end code 0x0022;\n"
                          "  free room F = %lu bytes. No lights fit: veska stops with \"Unexpected end of data\".\n",
                          heading, last_word, static_cast<unsigned long>(last_at),
                          static_cast<unsigned long>(free_room));
        } else {
            console_print("%s: no model code at all (only zeros behind the header). No lights fit.\n", heading);
        }
        return;
    }
    const std::uint32_t used = MODEL_CODE_SIZE - CODE_HEADER_LENGTH - free_room;
    console_print("%s: used length U = %lu bytes (end code at area offset %lu), free room F = %lu bytes.\n", heading,
                  static_cast<unsigned long>(used), static_cast<unsigned long>(last_at),
                  static_cast<unsigned long>(free_room));
    console_print("Room for landing lights (the block + %lu bytes each):\n",
                  static_cast<unsigned long>(ROOM_BESIDES_BLOCK));
    for (unsigned n = 1; n <= LIGHT_COUNT_MAX; ++n) {
        const std::uint32_t needed = template_size(n) + ROOM_BESIDES_BLOCK;
        console_print("  %u light%s %4lu bytes needed: %s\n", n, n == 1 ? ": " : "s:",
                      static_cast<unsigned long>(needed), free_room >= needed ? "fits" : "does not fit");
    }
}

// Only where the code ends: a modified model gets no lights anyway.
void print_free_room(const std::uint8_t* area)
{
    const std::uint32_t free_room = count_free_space(area);
    if (free_room + CODE_HEADER_LENGTH > MODEL_CODE_SIZE - 2) {
        console_print("Model code: none (only zeros behind the header).\n");
        return;
    }
    const std::uint32_t last_at = MODEL_CODE_SIZE - 2 - free_room;
    console_print("Model code: the last non-zero word is 0x%04X at area offset %lu, free room F = %lu bytes.\n",
                  load_u16(area + last_at), static_cast<unsigned long>(last_at), static_cast<unsigned long>(free_room));
}

void print_light(const std::uint8_t* area, unsigned n, unsigned i)
{
    const DecodedLight light = decode_light(area + CODE_HEADER_LENGTH, n, i);
    console_print("Light %u:\n", i);
    console_print("  beam vector   (%d, %d, %d): inclination=%.2f degrees, direction=%.2f degrees\n", light.beam.x,
                  light.beam.y, light.beam.z, light.inclination_deg, light.direction_deg);
    console_print("  scale         %u (one outline unit = %.7g m)\n", static_cast<unsigned>(light.scale), light.unit);
    console_print("  position      x=%.3f m, y=%.3f m, z=%.3f m\n", light.position[0], light.position[1],
                  light.position[2]);
    console_print("  spot outline  %.3f m wide, %.3f m deep\n", light.spot_width, light.spot_depth);
}

// A processed model: its lights, the trailer, and the model code as --strip
// would give it back.
void print_processed(std::uint8_t* area, const InsertionLayout& layout)
{
    const unsigned n = layout.block.lights;
    console_print("State: processed: %u landing light%s (the %u-light block, %u bytes at area offset 12, every "
                  "fixed word verified).\n",
                  n, plural(n), n, layout.block.size);
    for (unsigned i = 1; i <= n; ++i) {
        print_light(area, n, i);
    }
    char text[512];
    describe_insertion(area, layout, text, sizeof text);
    if (layout.problem != INSERTION_COMPLETE) {
        console_print("Trailer block: not intact: %s.\n", text);
        console_print("--strip refuses this model.\n");
        return;
    }
    console_print("Trailer block: intact (%u bytes at area offset %lu, behind the end code and one zero word).\n",
                  TRAILER_SIZE, static_cast<unsigned long>(layout.trailer_at));
    console_print("Free room now: %lu bytes.\n", static_cast<unsigned long>(layout.free_room));
    std::uint8_t* restored = static_cast<std::uint8_t*>(std::malloc(MODEL_CODE_SIZE));
    if (restored == nullptr) {
        return;
    }
    std::memcpy(restored, area, MODEL_CODE_SIZE);
    take_out_insertion(restored, layout);
    print_room(restored, "Model code before processing (as --strip restores it)");
    std::free(restored);
}

}  // namespace

int run_report(const char* model_name)
{
    StructureFindings findings{};
    if (read_model(model_name, &findings) != 0) {
        return 1;
    }
    const MdlImage& image = run_state.image;
    console_print("Model file: %s (%lu bytes)\n", model_name, static_cast<unsigned long>(image.size));
    if (findings.result != STRUCTURE_OK) {
        char text[256];
        describe_structure_fault(image, findings, text, sizeof text);
        console_print("Layout: not accepted: %s.\n", text);
        release_all();
        return 0;
    }
    console_print("Layout: accepted (PE header at 0x%lX, resource section at file offset 0x%lX).\n",
                  static_cast<unsigned long>(findings.pe_offset), static_cast<unsigned long>(RESOURCE_RAW_OFFSET));
    std::uint8_t* area = image.code_area;
    print_header_words(area);

    const InsertionLayout layout = find_insertion(area);
    if (layout.problem == INSERTION_UNMODIFIED) {
        console_print("State: unprocessed (no landing lights).\n");
        print_room(area, "Model code");
    } else if (layout.problem == INSERTION_NO_BLOCK) {
        char text[512];
        describe_insertion(area, layout, text, sizeof text);
        console_print("State: neither unprocessed nor processed by this program: %s.\n", text);
        print_free_room(area);
        console_print("No lights can be added: veska refuses a model that is not an unmodified MDL file.\n");
    } else {
        print_processed(area, layout);
    }
    release_all();
    return 0;
}

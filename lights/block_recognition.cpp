#include "lights/block_recognition.h"

#include <algorithm>
#include <iterator>

#include "lights/code_templates.h"

namespace lumora {

namespace {

struct Comparison {
    unsigned first;   // the first differing byte, or the template's size
    unsigned count;   // how many bytes differ
};

// Compares the code with the template for n lights, byte by byte. The
// template is filled with the code's own fields, so only fixed bytes can
// differ.
Comparison compare_with_template(const std::uint8_t* code, unsigned n)
{
    LightRecord records[LIGHT_COUNT_MAX];
    for (unsigned i = 1; i <= n; ++i) {
        records[i - 1] = read_light_record(code, n, i);
    }
    CodeTemplate expected = code_template(n);
    fill_code_template(expected, n, records);
    Comparison result{expected.size, 0};
    for (unsigned offset = 0; offset < expected.size; ++offset) {
        if (code[offset] != expected.bytes[offset]) {
            result.first = offset < result.first ? offset : result.first;
            ++result.count;
        }
    }
    return result;
}

}  // namespace

BlockMatch recognise_block(const std::uint8_t* code)
{
    // The closest template is the one with the fewest differing bytes.
    BlockMatch match{BlockVerdict::fixed_byte_differs, 0, 0, 0, 0};
    unsigned fewest = 0;
    for (unsigned n = 1; n <= LIGHT_COUNT_MAX; ++n) {
        const Comparison comparison = compare_with_template(code, n);
        if (comparison.count == 0) {
            match = BlockMatch{BlockVerdict::recognised, n, template_size(n), 0, 0};
            break;
        }
        if (match.lights == 0 || comparison.count < fewest) {
            match = BlockMatch{BlockVerdict::fixed_byte_differs, n, template_size(n), comparison.first, 0};
            fewest = comparison.count;
        }
    }
    if (match.verdict != BlockVerdict::recognised) {
        return match;
    }
    // The filling writes a scale of 7 to 13 and puts every outline point in
    // the light's plane z = LonOffset.
    for (unsigned i = 1; i <= match.lights; ++i) {
        const LightRecord record = read_light_record(code, match.lights, i);
        const auto off_plane = [&](const ModelVector& point) { return point.z != record.outline[0].z; };
        if (record.scale < SCALE_FINEST || record.scale > SCALE_COARSEST) {
            match.verdict = BlockVerdict::scale_out_of_range;
        } else if (std::any_of(std::begin(record.outline), std::end(record.outline), off_plane)) {
            match.verdict = BlockVerdict::outline_not_flat;
        } else {
            continue;
        }
        match.light = i;
        return match;
    }
    return match;
}

}  // namespace lumora

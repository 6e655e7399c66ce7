#include "tests/support/expected_template.h"

#include <string>

namespace lumora {

const TemplateValues TEMPLATE_VALUES[3] = {
    {1, 364, {436, 374, 352, 330}, {14}, {176}, {196}, {204}},
    {2, 540, {612, 550, 528, 506}, {26, 178}, {176, 188}, {208, 372}, {216, 380}},
    {3, 716, {788, 726, 704, 682}, {38, 190, 342}, {176, 188, 200}, {220, 384, 548}, {228, 392, 556}},
};

std::vector<std::uint16_t> expected_template_words(const TemplateValues& v)
{
    std::vector<std::uint16_t> w = {
        0x0076, 0x003A, 60, 0, 0, 0, 0x0004, 0x008E, 100,                          // 0, 2, 12, 14
        0x0039, 46, 0x0068, 0x8002, 0x0023, 100, 0x0023, 140,                      // 18, 26, 30
        0x003A, 28, 0, 0, 0, 0x0004, 0x0034, 16, 0, 0, 7,                          // 34, 44, 46
        0x003B, v.transfers[0], 0x001C, 0x0022,                                    // 56, 62
        0x0039, 14, 0x0068, 0x0010, 0x0023, 98, 0x0022,                            // 64, 72, 76
        0x0039, 14, 0x0068, 0x0008, 0x0023, 62, 0x0022,                            // 78, 86, 90
        0x0023, 78, 0x003A, 28, 0, 0, 0, 0x0004, 0x0034, 16, 0, 0, 7,              // 92, 96, 106, 108
        0x003B, v.transfers[1], 0x001C, 0x0022,                                    // 118, 124
        0x0040, 0x0004, 0x0034, 16, 0, 0, 7, 0x0041, v.transfers[2], 0x001C, 0x0022,  // 126 .. 146
        0x0040, 0x0004, 0x0034, 16, 0, 0, 7, 0x0041, v.transfers[3], 0x001C, 0x0022,  // 148 .. 168
    };
    for (std::uint16_t distance : v.entry_distances) {
        w.insert(w.end(), {0x004A, distance, 0x001C, 0, 0, 0});
    }
    w.push_back(0x0022);
    for (unsigned i = 0; i < v.lights; ++i) {
        w.insert(w.end(), {0x0040, 0x0004, 0x0034, 158, 0, 0, 13, 0x001A, 0, 16});
        w.insert(w.end(), 48, 0);
        w.insert(w.end(), {0x003E, 16, 0, 0x7FFF, 0, 0, 0});
        for (std::uint16_t k = 0; k < 16; ++k) {
            w.push_back(k);
        }
        w.push_back(0x0022);
    }
    w.insert(w.end(), {0x0013, 9, 7, 7, 25, 31, 0xFFF9, 0xFFF8});
    return w;
}

std::vector<std::uint8_t> expected_template_bytes(const TemplateValues& v)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t word : expected_template_words(v)) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> expected_filled_template(const TemplateValues& v, const LightRecord* records)
{
    std::vector<std::uint8_t> bytes = expected_template_bytes(v);
    for (unsigned i = 0; i < v.lights; ++i) {
        const LightRecord& r = records[i];
        put_word(bytes, v.beams_at[i], r.beam.x);
        put_word(bytes, v.beams_at[i] + 2, r.beam.y);
        put_word(bytes, v.beams_at[i] + 4, r.beam.z);
        put_word(bytes, v.scales_at[i], r.scale);
        for (unsigned k = 0; k < 16; ++k) {
            put_word(bytes, v.outlines_at[i] + 6 * k, r.outline[k].x);
            put_word(bytes, v.outlines_at[i] + 6 * k + 2, r.outline[k].y);
            put_word(bytes, v.outlines_at[i] + 6 * k + 4, r.outline[k].z);
        }
    }
    return bytes;
}

void put_word(std::vector<std::uint8_t>& bytes, std::size_t offset, int value)
{
    const auto word = static_cast<std::uint16_t>(value & 0xFFFF);
    bytes.at(offset) = static_cast<std::uint8_t>(word & 0xFF);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(word >> 8);
}

std::vector<std::uint8_t> expected_trailer()
{
    const std::string text =
        "Landing lights by Lumora VESKA 1.0.\n"
        "Each light is drawn as a beam and a lit spot on the ground, computed from the definition file's gear "
        "geometry, pitch, range and spot size.\n"
        "Restore the .MD$ backup to remove them.\n";
    std::vector<std::uint8_t> trailer(text.begin(), text.end());
    trailer.resize(250, 0);
    return trailer;
}

}  // namespace lumora

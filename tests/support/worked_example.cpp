#include "tests/support/worked_example.h"

namespace lumora {

std::string worked_definition(unsigned lights)
{
    static const char* const sections[3] = {
        "[Light 1]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=3\nDirection=10\n",
        "[Light 2]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=-3\nDirection=-10\n",
        "[Light 3]\nZOffset=0.5\nLonOffset=1.5\nLatOffset=0\nDirection=10\n",
    };
    std::string text = "[Main]\nLights=" + std::to_string(lights) +
                       "\nMainGearHeight=-2\nTailGearHeight=-0.5\nMainGearDist=-1\nTailGearDist=8\n";
    for (unsigned i = 0; i < lights && i < 3; ++i) {
        text += sections[i];
    }
    return text;
}

LightRecord worked_record(unsigned i)
{
    static const int term_x[16] = {0, -56, -90, -101, -113, -101, -79, -33, 0, 33, 79, 101, 113, 101, 90, 56};
    static const int y[16] = {5, 3, -1, -5, -13, -21, -27, -33, -35, -33, -27, -21, -13, -5, -1, 3};
    static const int x_offsets[3] = {33, -33, 0};
    static const int beam_x[3] = {5511, -5511, 5511};
    LightRecord record{};
    record.beam = {static_cast<std::int16_t>(beam_x[i - 1]), -7884, 31257};
    record.scale = 12;
    for (int k = 0; k < 16; ++k) {
        record.outline[k] = {static_cast<std::int16_t>(term_x[k] + x_offsets[i - 1]), static_cast<std::int16_t>(y[k]),
                             16};
    }
    return record;
}

}  // namespace lumora

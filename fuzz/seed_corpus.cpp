#include "fuzz/seed_corpus.h"

#include "fuzz/harness.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace lumora {

namespace {

namespace mb = mdl_builder;
using Bytes = std::vector<std::uint8_t>;

using namespace std::string_literals;

struct Text {
    const char* name;
    std::string text;
};

// Every key of both tables, every unit in several spellings, every section
// form and line kind the reader knows, and values that draw each message.
const Text DEFINITION_TEXTS[] = {
    {"one_light", "[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-0.5\nTailGearDist=8\n\n"
                  "[Light 1]\nLatOffset=3\nZOffset=0.5\nLonOffset=1.5\nDirection=10\nMaxRange=30\nSpotWidth=20\n"
                  "SpotDepth=40\n"},
    {"two_lights", "; two wing lights\n[Main]\nLights=2\nMainGearHeight=-2.5\nNoseGearHeight=-2\nMainGearDist=1\n"
                   "NoseGearDist=-5\n[Light 1]\nLatOffset=-4\nLonOffset=1\nMaxRange=60 m\n[Light 2]\nLatOffset=4\n"
                   "LonOffset=1\nMaxRange=60 m\nPitch=2.5\n"},
    {"three_lights", "[Main]\nLights=3\nMainGearHeight=-230 cm\nMainGearDist=0.8\nNoseGearHeight=-2.2\n"
                     "NoseGearDist=-6\n\n[Light 1]\nLatOffset=-4\nSpotWidth=25\nSpotDepth=50\n[Light 2]\n"
                     "LatOffset=4\n[Light 3]\n; the taxi light\nPitch=2.5\nLonOffset=5.5\nZOffset=-1.4\n"
                     "MaxRange=20\nSpotWidth=12\nSpotDepth=15\n"},
    {"units", "[MAIN]\nlights=1\nMainGearHeight=-90 in\nMainGearDist=3ft\nTailGearHeight=-20 CM\n"
              "TailGearDist=8\tm\n[light 1]\nLatOffset=12 ft\nLonOffset=59 in\nZOffset=150cm\nMaxRange=2.5 m\n"
              "SpotWidth=2.5\nSpotDepth=40 FT\nPitch=3 ft\nDirection=5 deg\n"},
    {"unit_errors", "[Main]\nLights=2 lights\nMainGearHeight=12 mm\nMainGearDist=12 feet\nNoseGearHeight=12 ft \n"
                    "NoseGearDist=12 ft ; comment\n[Light 1]\nPitch=3 deg\nMaxRange=ft\nSpotWidth=  \n"
                    "[Light 2]\nDirection=5 m\nLatOffset=-1.2 m\n"},
    {"no_gear", "[Main]\nLights=1\n[Light 1]\n"},
    {"close_gear", "[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=0\nNoseGearHeight=-2\nNoseGearDist=0.3 in\n"
                   "[Light 1]\nMaxRange=0\n"},
    {"zero_range", "[Main]\nLights=1\n[Light 1]\nMaxRange=0\nPitch=-90\n"},
    {"huge_values", "[Main]\nLights=3\nMainGearHeight=1e308\nMainGearDist=-1e308\nNoseGearHeight=nan\n"
                    "NoseGearDist=inf\n[Light 1]\nLatOffset=1e300\nLonOffset=-1e300\nZOffset=6000\n"
                    "[Light 2]\nSpotDepth=0x10\nSpotWidth=-inf\nPitch=1e-320\n[Light 3]\nMaxRange=-30\n"
                    "ZOffset=-5\nPitch=0\n"},
    {"light_count_values", "[Main]\nLights=2.9\n[Light 1]\n[Light 2]\n[Main]\nLights=0\n"},
    {"lights_zero", "[Main]\nLights=0\n[Light 1]\n"},
    {"lights_four", "[Main]\nLights=4\n"},
    {"lights_negative", "[Main]\nLights=-1\n[Light 1]\n"},
    {"lights_word", "[Main]\nLights=two\n[Light 1]\n"},
    {"lights_missing", "[Main]\nMainGearDist=1\n[Light 1]\n"},
    {"main_only", "[Main]\nLights=1\n"},
    {"empty", ""},
    {"no_main", "; nothing but a light\n[Light 1]\nPitch=1\n"},
    {"light_before_main", "[Light 1]\nPitch=1\n[Main]\nLights=1\n"},
    {"light_beyond_count", "[Main]\nLights=1\n[Light 1]\n[Light 3]\nPitch=4\n"},
    {"missing_light", "[Main]\nLights=3\n[Light 1]\n[Light 2]\n"},
    {"repeated_sections", "[Main]\nLights=1\n[Light 1]\nPitch=1\n[Light 1]\nPitch=2\n[Main]\nLights=3\n"},
    {"bad_header", "[Main]\nLights=1\n[Light 1]\n[Light 4]\nPitch=1\n"},
    {"header_with_blank", "[Main] \nLights=1\n"},
    {"header_with_comment", "[Main] ; main\nLights=1\n"},
    {"line_kinds", "stray line before a section\n[Main]\n; comment\n Lights=9 ignored\n\tLights=1\n"
                   "Lights =1\n=Lights=1\nMainGearDist\nMainGearHeight=\nColour=red\nNoseGearDist=1\n"
                   "TailGearDist=2\n\r\n[Light 1]\n\t\nPitch\nPitch=\nLights=1\nDirection==5\n"},
    {"duplicates", "[Main]\nLights=1\nLights=2\nNoseGearHeight=1\nTailGearHeight=2\n[Light 1]\nPitch=1\n"
                   "PITCH=2\n"},
    {"crlf", "[Main]\r\nLights=1\r\nMainGearHeight=-2\r\n[Light 1]\r\nMaxRange=20 m\r\n"},
    {"no_final_line_end", "[Main]\nLights=1\n[Light 1]\nSpotDepth=30"},
    {"ctrl_z_outside", "[Main]\nLights=1\n[Light 1]\n\x1a\n\x1a\n[Light 2]\n"},
    {"ctrl_z_inside_main", "[Main]\nLights=1\n\x1a\n[Light 1]\n"},
    {"ctrl_z_first", "\x1a[Main]\nLights=1\n"},
    {"last_line_header", "[Main]\nLights=2\n[Light 1]\n[Light 2]"},
    {"zero_bytes", "[Main]\nLights=1\n[Light 1]\nPitch=1\0junk\n\0[Light 2]\nZOffset=1\n"s},
};

std::string long_line_file()
{
    std::string text = "[Main]\nLights=1\n[Light 1]\nLatOffset=" + std::string(300, '1') + "\n";
    text += "MaxRange=" + std::string(251, ' ') + "[Main]\n";
    text += std::string(255, 'x') + "\n" + std::string(600, ';') + "\n";
    return text;
}

Bytes to_bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct Variant {
    const char* name;
    void (*adjust)(mb::SampleOptions&);
};

// The accepted model in several shapes, and every faulty variant the builder
// can make.
const Variant MODEL_VARIANTS[] = {
    {"sample", [](mb::SampleOptions&) {}},
    {"fits_one_light_exactly", [](mb::SampleOptions& o) { o.free_room = 364 + 252; }},
    {"fits_two_lights_exactly", [](mb::SampleOptions& o) { o.free_room = 540 + 252; }},
    {"fits_three_lights_exactly", [](mb::SampleOptions& o) { o.free_room = 716 + 252; }},
    {"two_bytes_short", [](mb::SampleOptions& o) { o.free_room = 364 + 250; }},
    {"no_free_room", [](mb::SampleOptions& o) { o.free_room = 0; }},
    {"largest_free_room", [](mb::SampleOptions& o) { o.free_room = mb::LARGEST_FREE_ROOM; }},
    {"end_word_swapped", [](mb::SampleOptions& o) { o.end_word = 0x2200; }},
    {"end_word_other", [](mb::SampleOptions& o) { o.end_word = 0x0023; }},
    {"code_stops_after_mark", [](mb::SampleOptions& o) { o.code_stops_after_mark_42 = true; }},
    {"header_length_13", [](mb::SampleOptions& o) { o.header_length = 13; }},
    {"word_38_changed", [](mb::SampleOptions& o) { o.word_38 = 0x003A; }},
    {"already_processed", [](mb::SampleOptions& o) { o.word_42 = mb::MARK_38; }},
    {"length_word_large", [](mb::SampleOptions& o) { o.length_word = 0xFFFFFF00u; }},
    {"no_mz", [](mb::SampleOptions& o) { o.mz_signature = 0x4D5A; }},
    {"pe_offset_outside", [](mb::SampleOptions& o) { o.pe_offset_field = 0xFFFFFFF0u; }},
    {"pe_offset_stub", [](mb::SampleOptions& o) { o.pe_offset_field = 0x40; }},
    {"pe_signature_wrong",
     [](mb::SampleOptions& o) {
         o.pe_signature[2] = 1;
     }},
    {"no_sections", [](mb::SampleOptions& o) { o.section_count_field = 0; }},
    {"many_sections", [](mb::SampleOptions& o) { o.section_count_field = 0xFFFF; }},
    {"optional_header_size", [](mb::SampleOptions& o) { o.optional_header_size_field = 240; }},
    {"resource_rva_zero", [](mb::SampleOptions& o) { o.resource_rva_field = 0; }},
    {"resource_rva_above", [](mb::SampleOptions& o) { o.resource_rva_field = 0x3100; }},
    {"raw_offset", [](mb::SampleOptions& o) { o.resource_raw_at_field = 0xE02; }},
    {"raw_size", [](mb::SampleOptions& o) { o.resource_raw_size_field = 0x10802; }},
    {"virtual_address", [](mb::SampleOptions& o) { o.resource_virtual_address_field = 0x2F00; }},
    {"virtual_size", [](mb::SampleOptions& o) { o.resource_virtual_size_field = 0x106F0; }},
    {"data_entry_last", [](mb::SampleOptions& o) { o.data_entry_after_resource_entry = true; }},
    {"cut_in_area", [](mb::SampleOptions& o) { o.file_size = mb::CODE_AREA_END - 2; }},
    {"cut_at_area_end", [](mb::SampleOptions& o) { o.file_size = mb::CODE_AREA_END; }},
    {"cut_in_section_table", [](mb::SampleOptions& o) { o.file_size = mb::SECTION_TABLE_AT + 60; }},
    {"cut_in_pe_header", [](mb::SampleOptions& o) { o.file_size = mb::PE_HEADER_AT + 2; }},
    {"cut_to_mz", [](mb::SampleOptions& o) { o.file_size = 2; }},
    {"longer_file", [](mb::SampleOptions& o) { o.file_size = mb::NATURAL_FILE_SIZE + 4096; }},
};

}  // namespace

std::vector<Seed> definition_seeds()
{
    std::vector<Seed> seeds;
    for (const Text& text : DEFINITION_TEXTS) {
        seeds.push_back({std::string(text.name) + ".cfg", to_bytes(text.text)});
    }
    seeds.push_back({"long_lines.cfg", to_bytes(long_line_file())});
    return seeds;
}

std::vector<Seed> model_seeds()
{
    std::vector<Seed> seeds;
    for (const Variant& variant : MODEL_VARIANTS) {
        mb::SampleOptions options;
        variant.adjust(options);
        seeds.push_back({std::string(variant.name) + ".mdl", mb::build_sample_mdl(options)});
    }
    return seeds;
}

std::vector<Seed> run_seeds()
{
    const std::vector<Seed> definitions = definition_seeds();
    const std::vector<Seed> models = model_seeds();
    std::vector<Seed> seeds;
    // Every definition file with the accepted model, and every model with
    // the definition file of one light.
    for (const Seed& definition : definitions) {
        const std::string text(definition.bytes.begin(), definition.bytes.end());
        seeds.push_back({"sample+" + definition.name, make_run_input(text, models.front().bytes)});
    }
    const std::string one_light(definitions.front().bytes.begin(), definitions.front().bytes.end());
    for (std::size_t i = 1; i < models.size(); ++i) {
        seeds.push_back({models[i].name + "+one_light.cfg", make_run_input(one_light, models[i].bytes)});
    }
    // The model under each special name.
    for (unsigned variant = 8; variant <= 12; ++variant) {
        seeds.push_back({"sample+one_light.cfg+name" + std::to_string(variant),
                         make_run_input(one_light, models.front().bytes, variant)});
    }
    return seeds;
}

}  // namespace lumora

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "definition/reader.h"
#include "tests/support/console_capture.h"
#include "tests/support/files.h"

namespace lumora {

using namespace std::string_literals;

namespace {

// One definition file run through the real reader: its text, the result,
// every byte printed, and the definition store afterwards (see dump_store).
struct ReaderCase {
    const char* title;
    std::string text;
    int result;
    std::string output;
    std::string store;
};

std::string at_line(const char* word, unsigned line, const std::string& text)
{
    return std::string(word) + " in lights.def, line " + std::to_string(line) + ": " + text;
}

std::string plain(const char* word, const std::string& text) { return std::string(word) + " in lights.def: " + text; }

const std::string NO_GEAR = plain("Info", "Not all gear positions/heights specified, zero ground pitch assumed.\n");

std::string NO_LIGHT(unsigned n)
{
    return plain("Error", "[Light " + std::to_string(n) + "] not specified in definition file.\n");
}

// The number of lights, then per section that was touched: index, header
// text, whether defined, and each entry as key@line='value'.
std::string dump_store(const Definition& definition)
{
    std::string out = "lights=" + std::to_string(definition.light_count) + "\n";
    for (unsigned index = 0; index < SECTION_COUNT; ++index) {
        const DefinitionSection& section = definition.sections[index];
        if (section.header.empty() && !section.defined && section.entries.empty()) {
            continue;
        }
        out += std::to_string(index) + " " + (!section.header.empty() ? section.header : "-");
        out += section.defined ? " defined" : "";
        for (const DefinitionEntry& entry : section.entries) {
            out += " " + std::to_string(static_cast<int>(entry.key)) + "@" + std::to_string(entry.line) + "='" +
                   entry.value + "'";
        }
        out += "\n";
    }
    return out;
}


class DefinitionReader : public ::testing::Test {
protected:
    // Each case is read from a file of its own into records of its own.
    void run_cases(const ReaderCase* cases, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) {
            const ReaderCase& c = cases[i];
            SCOPED_TRACE(c.title);
            const std::string path = scratch_.file("lights.def");
            write_file_text(path, c.text);
            ConsoleCapture console;
            MessagePrinter printer{console.console()};
            Diagnostics diagnostics{printer, "lights.def"};
            Definition definition;
            SystemFileSystem files;
            EXPECT_EQ(read_definition_named(diagnostics, files, definition, path),
                      c.result == 0 ? ReadOutcome::read : ReadOutcome::failed);
            EXPECT_EQ(console.text(), c.output);
            EXPECT_EQ(dump_store(definition), c.store);
        }
    }

    template <std::size_t N>
    void run_cases(const ReaderCase (&cases)[N])
    {
        run_cases(cases, N);
    }

private:
    ScratchDir scratch_;
};

TEST_F(DefinitionReader, SectionHeaders)
{
    const ReaderCase cases[] = {
        {"example", "[Main]\nLights=1\nMainGearDist=12 ft\n; a comment line\n[Light 1]\nMaxRange=100 m\nDirection=10\n", 0,
         NO_GEAR, "lights=1\n0 [Main] defined 1@2='1' 5@3='12 ft'\n1 [Light 1] defined 11@6='100 m' 7@7='10'\n"},
        {"any case, kept as written", "[MAIN]\nlights=2\n[light 2]\nPITCH=1\n", 0, NO_GEAR,
         "lights=2\n0 [MAIN] defined 1@2='2'\n2 [light 2] defined 2@4='1'\n"},
        {"trailing blank", "[Main] \nLights=1\n", 1, at_line("Error", 1, "Unrecognised section: [Main] \n"),
         "lights=0\n"},
        {"trailing comment", "[Main] ; main\nLights=1\n", 1,
         at_line("Error", 1, "Unrecognised section: [Main] ; main\n"), "lights=0\n"},
        {"unknown section stops reading", "[Main]\nLights=1\n[Light 4]\n[Light 1]\nPitch=1\n", 1,
         NO_GEAR + at_line("Error", 3, "Unrecognised section: [Light 4]\n"), "lights=1\n0 [Main] defined 1@2='1'\n"},
        {"repeated light section is skipped",
         "[Main]\nLights=1\n[Light 1]\nPitch=1\n[light 1]\nPitch=2\nDirection=5\nbogus\n", 0,
         NO_GEAR + at_line("Error", 5, "Section [light 1] defined already.\n"),
         "lights=1\n0 [Main] defined 1@2='1'\n1 [light 1] defined 2@4='1'\n"},
        {"repeated main settles Lights and the pitch again on the first entries",
         "[Main]\nLights=2\nMainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-0.5\nTailGearDist=8 x\n[Light 1]\n"
         "[MAIN]\nLights=3\n[Light 2]\n",
         0,
         plain("Error", "Invalid unit of measurement specification '8 x' in line 6.\n") +
             "Ground Pitch= 9.46 degrees (means pitch up).\n" +
             at_line("Error", 8, "Section [MAIN] defined already.\n") +
             plain("Error", "Invalid unit of measurement specification '8 x' in line 6.\n") +
             "Ground Pitch= 9.46 degrees (means pitch up).\n",
         "lights=2\n0 [MAIN] defined 1@2='2' 6@3='-2' 5@4='-1' 4@5='-0.5' 3@6='8 x'\n1 [Light 1] defined\n"
         "2 [Light 2] defined\n"},
        {"light section before main, and beyond Lights", "[Light 1]\nPitch=1\n[Main]\nLights=1\n[Light 2]\n", 0,
         at_line("Error", 1, "[Main] section must be specified first.\n") +
             at_line("Warning", 1, "This section is not expected as \"Lights=0\" only was specified.\n") + NO_GEAR +
             at_line("Warning", 5, "This section is not expected as \"Lights=1\" only was specified.\n"),
         "lights=1\n0 [Main] defined 1@4='1'\n1 [Light 1] defined 2@2='1'\n2 [Light 2] defined\n"},
    };
    run_cases(cases);
}

TEST_F(DefinitionReader, KeyLines)
{
    const ReaderCase cases[] = {
        {"blank first is ignored, tab first is read", "[Main]\n Lights=1\n\tLights=2\n[Light 1]\n", 0, NO_GEAR,
         "lights=2\n0 [Main] defined 1@3='2'\n1 [Light 1] defined\n"},
        {"value kept untrimmed; leading '=' skipped", "[Main]\n==Lights=2 ; two=2\t\n[Light 1]\n", 0,
         plain("Warning", "No unit of measurement expected in line 2.\n") + NO_GEAR,
         "lights=2\n0 [Main] defined 1@2='2 ; two=2\t'\n1 [Light 1] defined\n"},
        {"blank before '='", "[Main]\nLights =2\nLights=1\n[Light 1]\n", 0,
         at_line("Error", 2, "Unrecognised name=Lights \n") + NO_GEAR,
         "lights=1\n0 [Main] defined 1@3='1'\n1 [Light 1] defined\n"},
        {"no value: the name without '=' keeps its line end",
         "[Main]\nLights=1\n[Light 1]\nPitch\nPitch=\n\t\nDirection\r\n", 0,
         NO_GEAR + at_line("Error", 4, "Name=Pitch\n, NO VALUE given.\n") +
             at_line("Error", 5, "Name=Pitch, NO VALUE given.\n") + at_line("Error", 6, "Name=\n, NO VALUE given.\n") +
             at_line("Error", 7, "Name=Direction\r\n, NO VALUE given.\n"),
         "lights=1\n0 [Main] defined 1@2='1'\n1 [Light 1] defined\n"},
        {"keys of the other section kind", "[Main]\nPitch=1\nLights=1\n[Light 1]\nLights=1\nMainGearDist=1\n", 0,
         at_line("Error", 2, "Unrecognised name=Pitch\n") + NO_GEAR + at_line("Error", 5, "Unrecognised name=Lights\n") +
             at_line("Error", 6, "Unrecognised name=MainGearDist\n"),
         "lights=1\n0 [Main] defined 1@3='1'\n1 [Light 1] defined\n"},
        {"nose and tail gear are one key", "[Main]\nLights=1\nNoseGearDist=1\ntailgeardist=2\n[Light 1]\n", 0,
         at_line("Error", 4, "Duplicate definition: Name=tailgeardist\n") + NO_GEAR,
         "lights=1\n0 [Main] defined 1@2='1' 3@3='1'\n1 [Light 1] defined\n"},
        {"lines outside any section", "Lights=1\n\t\n[Main]\nLights=1\n[Light 1]\n", 0,
         at_line("Error", 1, "Unrecognised: Lights=1\n") + at_line("Error", 2, "Unrecognised: \t\n") + NO_GEAR,
         "lights=1\n0 [Main] defined 1@4='1'\n1 [Light 1] defined\n"},
    };
    run_cases(cases);
}

TEST_F(DefinitionReader, NumberOfLights)
{
    const std::string invalid = plain("Error", "Invalid number of lights in line 2, must be 1,2 or 3.\n");
    const std::string no_unit = plain("Warning", "No unit of measurement expected in line 2.\n");
    // A failing [Main] stops reading: the light section after it stays unread.
    const ReaderCase cases[] = {
        {"2.9", "[Main]\nLights=2.9\n[Light 1]\nPitch=1\n", 0, NO_GEAR,
         "lights=2\n0 [Main] defined 1@2='2.9'\n1 [Light 1] defined 2@4='1'\n"},
        {"2 lights", "[Main]\nLights=2 lights\n[Light 1]\n", 0, no_unit + NO_GEAR,
         "lights=2\n0 [Main] defined 1@2='2 lights'\n1 [Light 1] defined\n"},
        {"0", "[Main]\nLights=0\n[Light 1]\nPitch=1\n", 1, invalid + NO_GEAR, "lights=0\n0 [Main] defined 1@2='0'\n"},
        {"4", "[Main]\nLights=4\n[Light 1]\n", 1, invalid + NO_GEAR, "lights=4\n0 [Main] defined 1@2='4'\n"},
        {"-1", "[Main]\nLights=-1\n[Light 1]\n", 1, invalid + NO_GEAR,
         "lights=4294967295\n0 [Main] defined 1@2='-1'\n"},
        {"two", "[Main]\nLights=two\n[Light 1]\n", 1, no_unit + invalid + NO_GEAR,
         "lights=0\n0 [Main] defined 1@2='two'\n"},
        {"missing", "[Main]\nMainGearDist=1\n[Light 1]\n", 1,
         plain("Error", "Required parameter \"Lights=n\" was not specified.\n") + NO_GEAR,
         "lights=0\n0 [Main] defined 5@2='1'\n"},
    };
    run_cases(cases);
}

TEST_F(DefinitionReader, EndOfInput)
{
    const ReaderCase cases[] = {
        {"empty file", "", 0, "", "lights=0\n"},
        // The end inside [Main] says which configured light sections are
        // missing, after the Lights check and the ground pitch.
        {"end inside [Main] fails after the checks", "[Main]\nLights=1\n", 1, NO_GEAR + NO_LIGHT(1),
         "lights=1\n0 [Main] defined 1@2='1'\n"},
        {"end inside [Main] names each missing light, ascending", "[Main]\nLights=3\n", 1,
         NO_GEAR + NO_LIGHT(1) + NO_LIGHT(2) + NO_LIGHT(3), "lights=3\n0 [Main] defined 1@2='3'\n"},
        {"a light section read before [Main] is not missing", "[Light 2]\n[Main]\nLights=2\n", 1,
         at_line("Error", 1, "[Main] section must be specified first.\n") +
             at_line("Warning", 1, "This section is not expected as \"Lights=0\" only was specified.\n") + NO_GEAR +
             NO_LIGHT(1),
         "lights=2\n0 [Main] defined 1@3='2'\n2 [Light 2] defined\n"},
        {"an invalid Lights names no light", "[Main]\nLights=4\n", 1,
         plain("Error", "Invalid number of lights in line 2, must be 1,2 or 3.\n") + NO_GEAR,
         "lights=4\n0 [Main] defined 1@2='4'\n"},
        {"end right after [Main]", "[Main]", 1,
         plain("Error", "Required parameter \"Lights=n\" was not specified.\n") + NO_GEAR, "lights=0\n0 [Main] defined\n"},
        {"last line a light header", "[Main]\nLights=1\n[Light 1]\n", 0, NO_GEAR,
         "lights=1\n0 [Main] defined 1@2='1'\n1 [Light 1] defined\n"},
        {"last header without line end", "[Main]\nLights=1\n[Light 1]", 0, NO_GEAR,
         "lights=1\n0 [Main] defined 1@2='1'\n1 [Light 1] defined\n"},
        {"last key line without line end", "[Main]\nLights=1\n[Light 1]\nPitch=7", 0, NO_GEAR,
         "lights=1\n0 [Main] defined 1@2='1'\n1 [Light 1] defined 2@4='7'\n"},
        {"Ctrl-Z ends a section, then the file", "[Main]\nLights=1\n\x1A\nLights=3\n[Light 1]\nPitch=1\n\x1A\n\x1A\n[Light 2]\n",
         0, NO_GEAR + at_line("Error", 4, "Unrecognised: Lights=3\n"),
         "lights=1\n0 [Main] defined 1@2='1'\n1 [Light 1] defined 2@6='1'\n"},
        {"Ctrl-Z ending [Main] is no end of file inside it", "[Main]\nLights=1\n\x1A", 0, NO_GEAR,
         "lights=1\n0 [Main] defined 1@2='1'\n"},
    };
    run_cases(cases);
}

TEST_F(DefinitionReader, LineEndsLongLinesAndZeroBytes)
{
    // 300 characters: read as a piece of 255 and one of 45, each a line.
    const std::string long_key = "MaxRange=" + std::string(246, '9') + "Pitch=" + std::string(38, ' ') + "1";
    const std::string long_text = std::string(255, 'x') + std::string(45, 'y');
    const ReaderCase cases[] = {
        {"CR LF line ends", "[Main]\r\nLights=2\r\n\r\n[Light 1]\r\nPitch=3 ft\r\nDirection=\r5\r\n", 0, NO_GEAR,
         "lights=2\n0 [Main] defined 1@2='2'\n1 [Light 1] defined 2@5='3 ft' 7@6='5'\n"},
        {"long key line", "[Main]\nLights=1\n[Light 1]\n" + long_key + "\nDirection=3\n", 0, NO_GEAR,
         "lights=1\n0 [Main] defined 1@2='1'\n1 [Light 1] defined 11@4='" + std::string(246, '9') + "' 2@5='" +
             std::string(38, ' ') + "1' 7@6='3'\n"},
        // The first piece has no line end, so the next message follows on its line.
        {"long line outside a section", long_text + "\n[Main]\nLights=1\n", 1,
         at_line("Error", 1, "Unrecognised: " + std::string(255, 'x')) +
             at_line("Error", 2, "Unrecognised: " + std::string(45, 'y') + "\n") + NO_GEAR + NO_LIGHT(1),
         "lights=1\n0 [Main] defined 1@4='1'\n"},
        // A zero byte ends what the program sees of its line.
        {"zero bytes", "\0junk\n[Main]\nLights=1\0 3\n\0Lights=2\n[Light 1]\n"s, 0,
         at_line("Error", 1, "Unrecognised: ") + at_line("Error", 4, "Name=, NO VALUE given.\n") + NO_GEAR,
         "lights=1\n0 [Main] defined 1@3='1'\n1 [Light 1] defined\n"},
    };
    run_cases(cases);
}

}  // namespace

}  // namespace lumora

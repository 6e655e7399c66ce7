#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "basics/messages.h"
#include "tests/support/console_capture.h"

namespace lumora {

namespace {

// Messages of each header form, severity and subject kind, rendered as the
// programs print them and kept with the line given.
TEST(Messages, RenderedThroughTheirFormatUnderTheirHeader)
{
    struct Case {
        MessageId id;
        std::vector<Subject> subjects;
        std::uint32_t line;
        const char* printed;
        bool error;
    };
    const Case cases[] = {
        {MessageId::unrecognised_name, {"Colour"}, 12, "Error in lights.cfg, line 12: Unrecognised name=Colour\n", true},
        {MessageId::section_not_expected, {2u}, 12,
         "Warning in lights.cfg, line 12: This section is not expected as \"Lights=2\" only was specified.\n", false},
        {MessageId::no_unit_expected, {3u}, 3, "Warning in lights.cfg: No unit of measurement expected in line 3.\n",
         false},
        {MessageId::invalid_unit, {"12 ft ", 4u}, 4,
         "Error in lights.cfg: Invalid unit of measurement specification '12 ft ' in line 4.\n", true},
        {MessageId::gear_incomplete, {}, 0,
         "Info in lights.cfg: Not all gear positions/heights specified, zero ground pitch assumed.\n", false},
        {MessageId::ground_pitch, {9.4567, false}, 0, "Ground Pitch= 9.46 degrees (means pitch up).\n", false},
        {MessageId::out_of_memory, {}, 0, "Out of memory.\n", true},
        // A note names its line when it has one.
        {MessageId::note_line_ignored, {}, 7, "Note in lights.cfg, line 7: this line begins with a blank, so veska "
                                              "ignores it.\n",
         false},
        {MessageId::note_spot_width_not_positive, {1u, -3.0}, 0,
         "Note in lights.cfg: [Light 1]: SpotWidth is -3 m, not above zero.\n", false},
        // The line's own line end ends it, or none.
        {MessageId::unrecognised_line, {"stray\r\n"}, 12, "Error in lights.cfg, line 12: Unrecognised: stray\r\n", true},
        {MessageId::unrecognised_line, {"no end"}, 12, "Error in lights.cfg, line 12: Unrecognised: no end", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printed);
        ConsoleCapture capture;
        MessagePrinter printer{capture.console()};
        MessageLog log;
        MessageFanOut both{printer, log};
        Diagnostics diagnostics{both, "lights.cfg"};
        report(diagnostics, c.id, c.subjects, c.line);
        EXPECT_EQ(capture.text(), c.printed);
        EXPECT_EQ(diagnostics.error_flag, c.error);
        ASSERT_EQ(log.messages().size(), 1u);
        EXPECT_EQ(log.messages()[0].id, c.id);
        EXPECT_EQ(log.messages()[0].line, c.line);
    }
}

TEST(Messages, ErrorFlagIsNeverClearedByLaterMessages)
{
    MessageLog log;
    Diagnostics diagnostics{log, "lights.cfg"};
    report(diagnostics, MessageId::unrecognised_name, {"Colour"}, 2);
    report(diagnostics, MessageId::no_unit_expected, {3u}, 3);
    report(diagnostics, MessageId::gear_incomplete);
    EXPECT_TRUE(diagnostics.error_flag);
    EXPECT_EQ(log.messages().size(), 3u);
}

TEST(Messages, BodyIsTheTextWithoutHeaderAndLineEnd)
{
    EXPECT_EQ(message_body(Message{MessageId::note_lit_area_behind_light, 9, {1u, 10.929, 40.0, 30.0}}),
              "[Light 1]: the lit area reaches 10.93 m back past the light (SpotDepth 40 m, the aim point 30 m ahead).");
    EXPECT_EQ(message_body(Message{MessageId::unrecognised_line, 3, {"x"}}), "Unrecognised: x");
}

// Subjects of each kind through their conversions: precision and width,
// hexadecimal, choices, plurals and choices holding conversions.
TEST(Messages, SubjectsAreFormattedByTheirConversion)
{
    const double nan = std::nan("");
    struct Case {
        MessageId id;
        std::vector<Subject> subjects;
        const char* body;
    };
    const Case cases[] = {
        {MessageId::ground_pitch, {-12.3456, true}, "Ground Pitch=-12.35 degrees (means pitch down)."},
        {MessageId::ground_pitch, {0.0, false}, "Ground Pitch= 0.00 degrees (means pitch up)."},
        {MessageId::light_line, {2u, 3.0, -0.125}, "[Light 2]: pitch=3.00 degrees, beam inclination=-0.12 degrees"},
        {MessageId::unexpected_end_of_data, {std::uint32_t{0xAB}}, "Unexpected end of data: code=0x00ab"},
        {MessageId::unexpected_end_of_data, {std::uint32_t{0x1234ABCD}}, "Unexpected end of data: code=0x1234abcd"},
        {MessageId::model_written, {"m.mdl", 1u}, "MDL file m.mdl with 1 landing light successfully written."},
        {MessageId::model_written, {"m.mdl", 3u}, "MDL file m.mdl with 3 landing lights successfully written."},
        {MessageId::preview_written, {0u, "p.svg"}, "Preview of 0 landing lights written to p.svg."},
        {MessageId::note_max_range_not_positive, {3u, -1e-7}, "[Light 3]: MaxRange is -1e-07 m, not above zero."},
        // Not a number keeps its sign on every platform.
        {MessageId::note_max_range_not_positive, {3u, -nan}, "[Light 3]: MaxRange is -nan m, not above zero."},
        {MessageId::note_light_not_above_ground, {1u, false, -0.0}, "[Light 1]: the light is on the ground line."},
        {MessageId::note_light_not_above_ground, {1u, true, 0.125},
         "[Light 1]: the light is 0.12 m below the ground line."},
        {MessageId::note_light_not_above_ground, {1u, true, -nan}, "[Light 1]: the light is -nan m below the ground line."},
        {MessageId::would_write, {0u}, "veska would write a model with this file."},
        {MessageId::would_write, {1u, 2u}, "veska would write a model with this file, but Light 2 lights no ground."},
        {MessageId::would_write, {2u, 1u, 3u},
         "veska would write a model with this file, but Light 1 and Light 3 light no ground."},
        {MessageId::would_write, {3u, 1u, 2u, 3u},
         "veska would write a model with this file, but Light 1, Light 2 and Light 3 light no ground."},
        {MessageId::would_not_write, {false, 0u}, "veska would not write a model with this file."},
        {MessageId::would_not_write, {true, 1u}, "veska would not write a model with this file: it has 1 error."},
        {MessageId::would_not_write, {true, 12u}, "veska would not write a model with this file: it has 12 errors."},
        // A missing subject leaves its conversion empty.
        {MessageId::unknown_option, {}, "veska-inspect: unknown option: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(message_body(Message{c.id, 0, c.subjects}), c.body);
    }
}

// Every format of the table holds only conversions the renderer knows:
// expanded without subjects, none leaves a per-cent sign, a brace or a bar
// behind.
TEST(Messages, FormatsHoldOnlyKnownConversions)
{
    for (int id = 0; id <= static_cast<int>(MessageId::note_pitch_steep); ++id) {
        const MessageId message = static_cast<MessageId>(id);
        SCOPED_TRACE(message_format(message).format);
        const std::string body = message_body(Message{message, 0, {}});
        EXPECT_EQ(body.find_first_of("%{}|"), std::string::npos);
    }
}

}  // namespace

}  // namespace lumora

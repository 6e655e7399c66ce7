#include <gtest/gtest.h>

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
        {MessageId::ground_pitch, {" 9.46", "up"}, 0, "Ground Pitch= 9.46 degrees (means pitch up).\n", false},
        {MessageId::model_written, {"m.mdl", 2u, "s"}, 0, "MDL file m.mdl with 2 landing lights successfully written.\n",
         false},
        {MessageId::out_of_memory, {}, 0, "Out of memory.\n", true},
        // A note names its line when it has one.
        {MessageId::note_line_ignored, {}, 7, "Note in lights.cfg, line 7: this line begins with a blank, so veska "
                                              "ignores it.\n",
         false},
        {MessageId::note_spot_width_not_positive, {1u, "-3"}, 0,
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
    EXPECT_EQ(message_body(Message{MessageId::note_lit_area_behind_light, 9, {1u, "10.93", "40", "30"}}),
              "[Light 1]: the lit area reaches 10.93 m back past the light (SpotDepth 40 m, the aim point 30 m ahead).");
    EXPECT_EQ(message_body(Message{MessageId::unrecognised_line, 3, {"x"}}), "Unrecognised: x");
}

// Every format of the table takes only %s and %u, so that the renderer's
// expansion is the printf expansion of the same format.
TEST(Messages, FormatsUseOnlyTextAndNumberSubjects)
{
    for (int id = 0; id <= static_cast<int>(MessageId::note_pitch_steep); ++id) {
        const std::string format = message_format(static_cast<MessageId>(id)).format;
        SCOPED_TRACE(format);
        for (std::size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at + 2)) {
            ASSERT_LT(at + 1, format.size());
            EXPECT_TRUE(format[at + 1] == 's' || format[at + 1] == 'u' || format[at + 1] == '%');
        }
    }
}

}  // namespace

}  // namespace lumora

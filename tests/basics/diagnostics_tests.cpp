#include <gtest/gtest.h>

#include <string>

#include "basics/diagnostics.h"
#include "tests/support/console_capture.h"

namespace lumora {

namespace {

// The diagnostics of a run reading lights.cfg, at line 12, printing to console.
Diagnostics diagnostics_at_line_12(const Console& console) { return Diagnostics{console, "lights.cfg", 12, 0}; }

struct SeverityCase {
    const char* message;
    const char* expected_plain;    // after report
    const char* expected_at_line;  // after report_at_line
    std::uint32_t flag;
};

TEST(Diagnostics, SeverityLetterChoosesHeaderWordAndFlag)
{
    const SeverityCase cases[] = {
        {"wCareful %s\n", "Warning in lights.cfg: Careful X\n", "Warning in lights.cfg, line 12: Careful X\n", 0},
        {"eBroken %s\n", "Error in lights.cfg: Broken X\n", "Error in lights.cfg, line 12: Broken X\n", 1},
        {"iNote %s\n", "Info in lights.cfg: Note X\n", "Info in lights.cfg, line 12: Note X\n", 0},
        // Any other first character: printed whole after the fatal header.
        {"Ebig %s\n", "Fatal error in lights.cfg: Ebig X\n", "Fatal error in lights.cfg, line 12: Ebig X\n", 1},
        {"", "Fatal error in lights.cfg: ", "Fatal error in lights.cfg, line 12: ", 1},
    };
    for (const SeverityCase& c : cases) {
        SCOPED_TRACE(c.expected_plain);
        for (int form = 0; form < 2; ++form) {
            ConsoleCapture capture;
            Diagnostics diagnostics = diagnostics_at_line_12(capture.console());
            if (form == 0) {
                report(diagnostics, c.message, "X");
            } else {
                report_at_line(diagnostics, c.message, "X");
            }
            EXPECT_EQ(capture.text(), form == 0 ? c.expected_plain : c.expected_at_line);
            EXPECT_EQ(diagnostics.error_flag, c.flag);
        }
    }
}

TEST(Diagnostics, ErrorFlagIsNeverClearedByLaterMessages)
{
    ConsoleCapture capture;
    Diagnostics diagnostics = diagnostics_at_line_12(capture.console());
    report(diagnostics, "eUnrecognised name=%s\n", "Colour");
    report(diagnostics, "wNo unit of measurement expected in line %u.\n", 3u);
    report(diagnostics, "iNot all gear positions/heights specified, zero ground pitch assumed.\n");
    EXPECT_EQ(diagnostics.error_flag, 1u);
    EXPECT_EQ(capture.text(),
              "Error in lights.cfg: Unrecognised name=Colour\n"
              "Warning in lights.cfg: No unit of measurement expected in line 3.\n"
              "Info in lights.cfg: Not all gear positions/heights specified, zero ground pitch assumed.\n");
}

TEST(Diagnostics, UnrecognisedLineCarriesItsOwnLineEnd)
{
    ConsoleCapture capture;
    Diagnostics diagnostics = diagnostics_at_line_12(capture.console());
    report_at_line(diagnostics, "eUnrecognised: %s", "stray text\r\n");
    report_at_line(diagnostics, "eUnrecognised: %s", "no end");
    report(diagnostics, "iNext\n");
    EXPECT_EQ(capture.text(),
              "Error in lights.cfg, line 12: Unrecognised: stray text\r\n"
              "Error in lights.cfg, line 12: Unrecognised: no endInfo in lights.cfg: Next\n");
}

// A run whose console is silent prints nothing, yet its errors still stop
// the writing.
TEST(Diagnostics, SilentConsoleStillRaisesTheFlag)
{
    Diagnostics diagnostics = diagnostics_at_line_12(Console{nullptr});
    report(diagnostics, "wCareful\n");
    EXPECT_EQ(diagnostics.error_flag, 0u);
    report_at_line(diagnostics, "eBroken %s\n", "X");
    EXPECT_EQ(diagnostics.error_flag, 1u);
}

}  // namespace

}  // namespace lumora

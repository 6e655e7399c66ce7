#include <gtest/gtest.h>

#include <string>

#include "definition/diagnostics.h"
#include "driver/run_state.h"
#include "tests/support/console_capture.h"

namespace {

class Diagnostics : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_program_state();
        run_state.definition_name = "lights.cfg";
        run_state.line_counter = 12;
    }
    void TearDown() override { reset_program_state(); }
};

struct SeverityCase {
    const char* message;
    const char* expected_plain;    // after report
    const char* expected_at_line;  // after report_at_line
    std::uint32_t flag;
};

TEST_F(Diagnostics, SeverityLetterChoosesHeaderWordAndFlag)
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
            run_state.error_flag = 0;
            ConsoleCapture capture;
            if (form == 0) {
                report(c.message, "X");
            } else {
                report_at_line(c.message, "X");
            }
            EXPECT_EQ(capture.text(), form == 0 ? c.expected_plain : c.expected_at_line);
            EXPECT_EQ(run_state.error_flag, c.flag);
        }
    }
}

TEST_F(Diagnostics, ErrorFlagIsNeverClearedByLaterMessages)
{
    ConsoleCapture capture;
    report("eUnrecognised name=%s\n", "Colour");
    report("wNo unit of measurement expected in line %u.\n", 3u);
    report("iNot all gear positions/heights specified, zero ground pitch assumed.\n");
    EXPECT_EQ(run_state.error_flag, 1u);
    EXPECT_EQ(capture.text(),
              "Error in lights.cfg: Unrecognised name=Colour\n"
              "Warning in lights.cfg: No unit of measurement expected in line 3.\n"
              "Info in lights.cfg: Not all gear positions/heights specified, zero ground pitch assumed.\n");
}

TEST_F(Diagnostics, UnrecognisedLineCarriesItsOwnLineEnd)
{
    ConsoleCapture capture;
    report_at_line("eUnrecognised: %s", "stray text\r\n");
    report_at_line("eUnrecognised: %s", "no end");
    report("iNext\n");
    EXPECT_EQ(capture.text(),
              "Error in lights.cfg, line 12: Unrecognised: stray text\r\n"
              "Error in lights.cfg, line 12: Unrecognised: no endInfo in lights.cfg: Next\n");
}

}  // namespace

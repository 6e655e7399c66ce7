// The example definition files: each is read by veska without an error or
// a warning, and every key of the definition file is set in one of them
// and named in a comment that says what it does, with its unit and
// default.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "definition/keys.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"

namespace lumora {

namespace {

TEST(Examples, EachIsReadCleanlyAndEveryKeyIsExplained)
{
    std::vector<std::string> examples;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(EXAMPLES_DIR))) {
        if (entry.path().extension() == ".cfg") {
            examples.push_back(entry.path().u8string());
        }
    }
    ASSERT_GE(examples.size(), 2u);
    std::string settings;  // every line that sets a value, of every example
    std::string comments;  // every comment line
    for (const std::string& example : examples) {
        SCOPED_TRACE(example);
        const RunOutcome check = run_inspect_in_process({"--check", example});
        EXPECT_EQ(check.exit_code, 0) << check.output;
        for (const char* header : {"Error in ", "Warning in "}) {
            EXPECT_EQ(check.output.find(header), std::string::npos) << check.output;
        }
        const std::string text = read_file_text(example);
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string line = text.substr(start, end - start);
            (line.rfind(';', 0) == 0 ? comments : settings) += "\n" + line;
            start = end + 1;
        }
    }
    for (const KeyTable& table : {section_keys(0), section_keys(1)}) {
        for (const KeyName& key : table) {
            const std::string name = key.name;
            EXPECT_NE(settings.find("\n" + name + "="), std::string::npos) << name << " is set in no example";
            EXPECT_NE(comments.find(name), std::string::npos) << name << " is named in no comment";
        }
    }
    EXPECT_NE(comments.find("default"), std::string::npos);
}

}  // namespace

}  // namespace lumora

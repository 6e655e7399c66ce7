// Test support: what must hold after any run of veska, whatever its inputs,
// checked in one place for the generated-case tests and the run harness of
// the fuzzer. The checks return null when everything held, or a short text
// naming the first problem; they use no test framework.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "lights/code_templates.h"
#include "lights/light_geometry.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"

namespace lumora {

// One run's files in its folder, and what stood there before the run.
struct RunSetup {
    std::string folder;
    std::string source;      // the model as named on the command line
    std::string target;      // the same as source in place
    std::string definition;
    bool in_place;
    Bytes source_bytes;      // the model before the run
    // Before the run: the file at the backup name (in place) or at the
    // target (three names), if there was one.
    bool kept_existed;
    Bytes kept_bytes;
};

// Checks the run's outcome and the files it left:
// - a run that reported an error did not end with 0; a run said it wrote
//   its target exactly when it ended with 0;
// - the source changed only by a successful run in place;
// - no file was left in the folder but the source, the definition file and
//   the backup (in place) or the target (three names);
// - in place, the file at the backup name holds the model as read exactly
//   when the run said it made the backup, and is as it was otherwise; a
//   successful run made one; a model that is its own backup name is never
//   written;
// - a failed run with three names left the target as it was;
// - a successful run filled the hand-spelled template for the number of
//   lights it named with the lights' records, and wrote the source with that
//   block inserted, as worked out by hand here; a second run refuses the
//   written file and writes nothing.
const char* check_run_invariants(const RunSetup& setup, const RunOutcome& run);

// Checks that block is the template for lights lights (1 to 3), spelled out
// by hand, filled with records[0 .. lights - 1], and nothing else.
const char* check_filled_block(const CodeTemplate& block, unsigned lights, const LightRecord* records);

// The file that inserting the n bytes of block into the model code of
// source must give, worked out independently of the program's insertion;
// false when the insertion must be refused (no whole model-code area, no
// end code, or too little free room).
bool expected_insertion(const Bytes& source, const std::uint8_t* block, std::size_t n, Bytes& result);

}  // namespace lumora

// Everything the tuning page shows for a definition file, worked out by the
// programs' own code from the file's bytes: veska's messages with the
// check's hints and notes, the verdict, the preview picture, the form's
// fields, the lights' figures; and the text's lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lights/ground_view.h"
#include "web/page_form.h"

namespace lumora {

// One record of the check, placed where the page shows it.
struct PageMessage {
    std::string text;      // as veska (or --check, for a note) prints it
    std::string hint;      // what --check prints under it; empty for none
    std::string severity;  // "error", "warning", "info", "note" or "progress"
    std::uint32_t line;    // the definition file's line it concerns, 0 for none
    int section;           // the section it concerns, -1 for none
    std::string key;       // the form field it concerns (a key name as FormField::key), empty for none
    std::vector<std::string> keys;  // every field whose value fixes it, key first; empty for none
    // Its mechanical fix: the button's words (empty for none), the line it
    // rewrites and that line's new text, or the line taken out.
    std::string fix;
    std::uint32_t fix_line;
    std::string fix_text;
    bool fix_removes;
};

// One line of the text as the reader cuts it.
struct PageLine {
    std::uint32_t number;
    int section;
    std::string text;  // without its line end
};

// The lines of a definition file's text as the reader cuts them, as shown.
// The page asks for them apart from the evaluation, only while it shows
// them.
std::vector<PageLine> page_lines(const std::string& bytes);

struct PageFigures {
    unsigned light;  // 1 to 3
    LitAreaFigures figures;
    bool lit;        // figures.state is LitArea::lit: the cells hold them
    std::string text;
    // Lit: nearest, farthest, leftmost, rightmost, aim ahead, aim sideways,
    // in metres to one decimal.
    std::vector<std::string> cells;
};

struct PageEvaluation {
    std::string encoding;  // how the file is saved, in words
    bool readable;         // false: the bytes are not the text they claim to be
    std::vector<PageMessage> messages;
    bool would_write;
    unsigned errors;       // the messages of severity error
    std::string verdict;   // the check's last line, without its line end
    std::string svg;       // byte for byte what veska-inspect --preview writes
    bool complete;         // the picture is complete: no errors
    unsigned lights_drawn;
    FormState form;
    std::uint32_t light_count;            // as Lights gives it (0 before [Main] is read)
    std::vector<bool> sections_defined;   // [Main], [Light 1] .. [Light 3]
    std::vector<PageFigures> figures;  // for each light drawn
    std::uint32_t line_count;          // as many as page_lines gives for the same bytes
};

// The page's view of the definition file name holding bytes. Where opened
// (the bytes as the file was opened) differs from bytes, the picture draws
// its lights faintly under these, as --preview NAME OUT --before OPENED.
PageEvaluation evaluate_definition(const std::string& name, const std::string& bytes,
                                   const std::string* opened = nullptr);

}  // namespace lumora

// Text that is not UTF-8 read as Windows-1252, the encoding a Windows editor
// saves as "ANSI", and written back to the same bytes: so that a file's
// bytes can be shown as text and an edit of that text turned back into the
// file's own bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumora {

// One piece of a text: a whole UTF-8 sequence, or one byte that is none.
struct TextUnit {
    std::string_view bytes;  // as the text holds it
    std::string shown;       // as UTF-8: the sequence itself, or the byte read as Windows-1252
};

// The text cut into units (every byte in exactly one).
std::vector<TextUnit> text_units(std::string_view bytes);

// The text as UTF-8: its UTF-8 sequences as they are, every other byte read
// as Windows-1252 (a byte that code page leaves undefined as the control
// character of its number).
std::string shown_text(std::string_view bytes);

// Whether the text is UTF-8 throughout.
bool is_utf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes; a character that code page lacks stays
// UTF-8.
std::string windows_1252_bytes(std::string_view utf8);

}  // namespace lumora

// What veska-inspect makes of a file given alone: a model to report on, or
// a definition file to check, as when a definition file is dropped onto the
// program. A damaged or cut-short model must still get its report, so only
// a file that plainly is text counts as a definition file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace lumora {

enum class GivenFileKind { model, definition_text };

// How much of a file's start decides.
constexpr std::size_t GIVEN_FILE_SAMPLE = 512;

// The kind of a file from its start (its first GIVEN_FILE_SAMPLE bytes, or
// all of it when it is shorter). Text is a file of at least two bytes that
// does not begin with "MZ" and either begins with a byte-order mark (UTF-8,
// or UTF-16 of either byte order) or holds nothing but printable ASCII
// characters, tabs, line feeds, carriage returns, the end-of-text mark
// Ctrl-Z and bytes from 0x80 up (UTF-8, or the letters of an 8-bit code
// page). Anything else is a model.
GivenFileKind kind_of_start(std::string_view start);

// The kind of the named file. A model when it is no regular file or its
// start cannot be read: the report then says why.
GivenFileKind kind_of_file(FileSystem& files, const std::string& name);

}  // namespace lumora

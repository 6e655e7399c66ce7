#include "window/dropped_files.h"

#include <algorithm>

#include "basics/messages.h"

namespace lumora {

Drop read_drop(const std::vector<std::string>& names, const std::vector<bool>& is_model)
{
    if (names.size() != is_model.size()) {
        return Drop{DropKind::as_given, names};
    }
    if (names.size() == 1) {
        return Drop{is_model[0] ? DropKind::model_alone : DropKind::definition_alone, names};
    }
    if (names.size() == 2 && is_model[0] != is_model[1]) {
        return is_model[0] ? Drop{DropKind::model_and_definition, names}
                           : Drop{DropKind::model_and_definition, {names[1], names[0]}};
    }
    return Drop{DropKind::as_given, names};
}

namespace {

// One line (without its line end) broken to width; the lines it continues
// on keep its indentation, as long as that leaves room for words.
std::string wrap_line(const std::string& line, std::size_t width)
{
    std::string wrapped;
    std::size_t start = 0;
    const std::size_t indented = std::min(line.find_first_not_of(' '), line.size());
    const std::string indent(indented < width / 2 ? indented : 0, ' ');
    for (;;) {
        const std::size_t room = start == 0 ? width : width - indent.size();
        if (line.size() - start <= room) {
            break;
        }
        std::size_t blank = line.rfind(' ', start + room);
        if (blank == std::string::npos || blank < start || (start == 0 && blank < indented)) {
            // No blank within the width: the word stays whole, up to its end.
            blank = line.find(' ', start + room);
            if (blank == std::string::npos) {
                break;
            }
        }
        if (blank == start) {
            ++start;  // a blank at the start of a continued line
            continue;
        }
        wrapped += line.substr(start, blank - start) + "\n" + indent;
        start = blank + 1;
    }
    return wrapped + line.substr(start);
}

// The folder part of a dropped file's name with its last separator. Files
// are dropped onto a window only on Windows, where "/" and "\" both
// separate; the same rule on every system keeps it testable everywhere.
std::string folder_of(const std::string& name)
{
    const std::size_t last = name.find_last_of("/\\");
    return last == std::string::npos ? std::string() : name.substr(0, last + 1);
}

}  // namespace

std::string wrap_at_blanks(const std::string& text, std::size_t width)
{
    if (width == 0) {
        return text;
    }
    std::string wrapped;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool ended = end != std::string::npos;
        end = ended ? end : text.size();
        wrapped += wrap_line(text.substr(start, end - start), width) + (ended ? "\n" : "");
        start = end + 1;
    }
    return wrapped;
}

std::string shared_folder(const std::vector<std::string>& names)
{
    if (names.empty()) {
        return std::string();
    }
    const std::string folder = folder_of(names[0]);
    const auto in_folder = [&](const std::string& name) { return folder_of(name) == folder; };
    return std::all_of(names.begin(), names.end(), in_folder) ? folder : std::string();
}

std::string name_folder_once(const std::string& text, const std::string& folder)
{
    if (folder.empty()) {
        return text;
    }
    // The folder is named without its last separator, unless that is all
    // there is of it ("/", "C:\\").
    const bool bare = folder.size() > 1 && folder[folder.size() - 2] != ':';
    const std::string named = bare ? folder.substr(0, folder.size() - 1) : folder;
    std::string shown = render_message(Message{MessageId::dropped_folder, 0, {named}}, std::string());
    std::size_t start = 0;
    for (std::size_t found = text.find(folder); found != std::string::npos; found = text.find(folder, start)) {
        shown += text.substr(start, found - start);
        start = found + folder.size();
    }
    return shown + text.substr(start);
}

}  // namespace lumora

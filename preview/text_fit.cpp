#include "preview/text_fit.h"

#include <algorithm>

namespace lumora {

namespace {

constexpr double DIGIT_WIDTH = 0.64;
constexpr double CHARACTER_WIDTH = 0.6;
constexpr double BOLD_FACTOR = 1.1;

// The longest start of word, ending between two characters, that fits into
// width; at least one character.
std::size_t fitting_start(const std::string& word, double width, double font_size, bool bold)
{
    // Where the character that begins at `at` ends: after its continuation
    // bytes (10xxxxxx).
    const auto character_end = [&word](std::size_t at) {
        do {
            ++at;
        } while (at < word.size() && (static_cast<unsigned char>(word[at]) & 0xC0u) == 0x80u);
        return at;
    };
    std::size_t end = character_end(0);
    while (end < word.size()) {
        const std::size_t next = character_end(end);
        if (text_width(word.substr(0, next), font_size, bold) > width) {
            break;
        }
        end = next;
    }
    return end;
}

// True when inner lies within outer.
bool box_within(const Box& inner, const Box& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

}  // namespace

const char* anchor_name(Anchor anchor)
{
    static constexpr const char* NAMES[] = {"start", "middle", "end"};
    return NAMES[static_cast<int>(anchor)];
}

double text_width(const std::string& text, double font_size, bool bold)
{
    double ems = 0.0;
    for (const char c : text) {
        ems += c >= '0' && c <= '9' ? DIGIT_WIDTH : CHARACTER_WIDTH;
    }
    return ems * font_size * (bold ? BOLD_FACTOR : 1.0);
}

Box text_box(double x, double y, const std::string& text, double font_size, bool bold, Anchor anchor)
{
    const double width = text_width(text, font_size, bold);
    const double left = anchor == Anchor::start ? x : anchor == Anchor::middle ? x - width / 2 : x - width;
    return {left, y - TEXT_ASCENT * font_size, left + width, y + TEXT_DESCENT * font_size};
}

bool boxes_overlap(const Box& a, const Box& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::vector<std::string> wrap_text(const std::string& text, double width, double font_size, bool bold)
{
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t blank = std::min(text.find(' ', at), text.size());
        std::string word = text.substr(at, blank - at);
        at = blank + 1;
        if (word.empty()) {
            continue;
        }
        const std::string joined = line.empty() ? word : line + " " + word;
        if (text_width(joined, font_size, bold) <= width) {
            line = joined;
            continue;
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        // A word wider than a whole line is cut where it must be.
        while (text_width(word, font_size, bold) > width) {
            const std::size_t cut = fitting_start(word, width, font_size, bold);
            lines.push_back(word.substr(0, cut));
            word.erase(0, cut);
        }
        line = word;
    }
    if (!line.empty() || lines.empty()) {
        lines.push_back(line);
    }
    return lines;
}

bool place_label(LabelPlacement& placement, double x, double y, const std::string& text, double font_size,
                 bool bold, const LabelSpot* spots, std::size_t spot_count, LabelSpot& chosen)
{
    if (!box_within(Box{x, y, x, y}, placement.area)) {
        return false;
    }
    const LabelSpot* clear = nullptr;
    for (std::size_t i = 0; i < spot_count; ++i) {
        const LabelSpot& spot = spots[i];
        const Box box = text_box(x + spot.dx, y + spot.dy, text, font_size, bold, spot.anchor);
        if (std::any_of(placement.taken.begin(), placement.taken.end(),
                        [&box](const Box& taken) { return boxes_overlap(box, taken); })) {
            continue;
        }
        if (clear == nullptr) {
            clear = &spot;
        }
        if (box_within(box, placement.area)) {
            clear = &spot;
            break;
        }
    }
    if (clear == nullptr) {
        return false;
    }
    chosen = *clear;
    placement.taken.push_back(text_box(x + chosen.dx, y + chosen.dy, text, font_size, bold, chosen.anchor));
    return true;
}

}  // namespace lumora

#include "platform/posix/a11y/text_spans.h"

#include <vector>

namespace a11y {

namespace {

using atspi::TextBoundary;

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Where a word starts: after a space, before a word character; where one
// ends: after a word character, before a space.
bool word_edge(const std::string& text, size_t at, bool starts) {
    bool before = is_space(text[at - 1]), after = is_space(text[at]);
    return starts ? before && !after : !before && after;
}

// The offsets a boundary cuts the text at, the two ends always among them.
std::vector<int> cuts(const std::string& text, TextBoundary boundary) {
    std::vector<int> out = {0};
    bool word = boundary == TextBoundary::word_start || boundary == TextBoundary::word_end;
    for (size_t at = 1; at < text.size(); at++) {
        if (boundary == TextBoundary::character ||
            (word && word_edge(text, at, boundary == TextBoundary::word_start))) {
            out.push_back(static_cast<int>(at));
        }
    }
    if (!text.empty()) {
        out.push_back(static_cast<int>(text.size()));
    }
    return out;
}

}  // namespace

Span text_range(const std::string& text, int start, int end) {
    int length = static_cast<int>(text.size());
    if (end < 0 || end > length) {
        end = length;
    }
    start = start < 0 ? 0 : start > end ? end : start;
    return {start, end};
}

int character_at(const std::string& text, int offset) {
    if (offset < 0 || offset >= static_cast<int>(text.size())) {
        return 0;
    }
    return static_cast<unsigned char>(text[offset]);
}

Span text_at(const std::string& text, int offset, TextBoundary boundary) {
    int length = static_cast<int>(text.size());
    if (offset < 0 || offset >= length) {
        return offset == length ? Span{length, length} : Span{0, 0};
    }
    std::vector<int> at = cuts(text, boundary);
    size_t i = 1;
    while (at[i] <= offset) {
        i++;
    }
    return {at[i - 1], at[i]};
}

Span text_before(const std::string& text, int offset, TextBoundary boundary) {
    Span here = text_at(text, offset, boundary);
    return here.start > 0 ? text_at(text, here.start - 1, boundary) : Span{0, 0};
}

Span text_after(const std::string& text, int offset, TextBoundary boundary) {
    Span here = text_at(text, offset, boundary);
    int length = static_cast<int>(text.size());
    return here.end < length && here.end > here.start ? text_at(text, here.end, boundary) : Span{length, length};
}

Span string_at(const std::string& text, int offset, atspi::TextGranularity granularity) {
    switch (granularity) {
        case atspi::TextGranularity::character:
            return text_at(text, offset, TextBoundary::character);
        case atspi::TextGranularity::word:
            return text_at(text, offset, TextBoundary::word_start);
        default:
            return text_at(text, offset, TextBoundary::line_start);
    }
}

}  // namespace a11y

// A label's text as the Text interface serves it: ranges, characters and
// the spans around an offset for each boundary and granularity. Offsets
// count the text's 8-bit characters; a label is one line and one sentence.
#pragma once

#include <string>

#include "platform/posix/a11y/atspi.h"

namespace a11y {

struct Span {
    int start = 0, end = 0;
};
inline bool operator==(const Span& a, const Span& b) {
    return a.start == b.start && a.end == b.end;
}

// GetText's range held to the text; an end of -1 (or past it) is its end.
Span text_range(const std::string& text, int start, int end);
// The character at offset, 0 outside the text.
int character_at(const std::string& text, int offset);

// GetTextAtOffset, GetTextBeforeOffset, GetTextAfterOffset: the span
// between the boundaries around offset, and the spans either side of it.
Span text_at(const std::string& text, int offset, atspi::TextBoundary boundary);
Span text_before(const std::string& text, int offset, atspi::TextBoundary boundary);
Span text_after(const std::string& text, int offset, atspi::TextBoundary boundary);
// GetStringAtOffset.
Span string_at(const std::string& text, int offset, atspi::TextGranularity granularity);

}  // namespace a11y

// org.a11y.atspi.Text: a label's text, its spans and its extents; the
// spans themselves are text_spans.cpp's.
#include "platform/posix/a11y/extents.h"
#include "platform/posix/a11y/interfaces.h"
#include "platform/posix/a11y/semantics.h"
#include "platform/posix/a11y/text_spans.h"

namespace a11y {

namespace {

const std::string& text_of(const Call& c) {
    return c.target.node.name;
}

void append_span(Call& c, Span s) {
    std::string part = utf8(text_of(c).substr(s.start, s.end - s.start));
    sd().message_append(c.reply, "sii", part.c_str(), s.start, s.end);
}

void get_text(Call& c) {
    int start = 0, end = 0;
    sd().message_read(c.message, "ii", &start, &end);
    Span s = text_range(text_of(c), start, end);
    sd().message_append(c.reply, "s", utf8(text_of(c).substr(s.start, s.end - s.start)).c_str());
}

void get_character_at_offset(Call& c) {
    int offset = 0;
    sd().message_read(c.message, "i", &offset);
    sd().message_append(c.reply, "i", character_at(text_of(c), offset));
}

// Offset and boundary type, the same three ways.
template <Span (*around)(const std::string&, int, atspi::TextBoundary)>
void by_boundary(Call& c) {
    int offset = 0;
    uint32_t boundary = 0;
    sd().message_read(c.message, "iu", &offset, &boundary);
    append_span(c, around(text_of(c), offset, static_cast<atspi::TextBoundary>(boundary)));
}

void get_string_at_offset(Call& c) {
    int offset = 0;
    uint32_t granularity = 0;
    sd().message_read(c.message, "iu", &offset, &granularity);
    append_span(c, string_at(text_of(c), offset, static_cast<atspi::TextGranularity>(granularity)));
}

void no_selections(Call& c) {
    sd().message_append(c.reply, "i", 0);
}

void get_selection(Call& c) {
    sd().message_append(c.reply, "ii", 0, 0);
}

void get_attribute_run(Call& c) {
    sd().message_append(c.reply, "a{ss}ii", 0, 0, static_cast<int>(text_of(c).size()));
}

void get_default_attributes(Call& c) {
    sd().message_append(c.reply, "a{ss}", 0);
}

// No glyph positions are kept: every character is where the label is.
void append_label_extents(Call& c, uint32_t coordinates) {
    Box box = extents(*provider().tree, c.target.node, static_cast<atspi::CoordType>(coordinates));
    sd().message_append(c.reply, "iiii", box.x, box.y, box.width, box.height);
}

void get_character_extents(Call& c) {
    int offset = 0;
    uint32_t coordinates = 0;
    sd().message_read(c.message, "iu", &offset, &coordinates);
    append_label_extents(c, coordinates);
}

void get_range_extents(Call& c) {
    int start = 0, end = 0;
    uint32_t coordinates = 0;
    sd().message_read(c.message, "iiu", &start, &end, &coordinates);
    append_label_extents(c, coordinates);
}

void get_offset_at_point(Call& c) {
    sd().message_append(c.reply, "i", -1);
}

void character_count(sd_bus_message* m, const Target& t) {
    sd().message_append(m, "v", "i", static_cast<int>(t.node.name.size()));
}

void caret_offset(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "i", 0);
}

bool serves(const Target& t) {
    return is_window(t) && has_text(t.node);
}

const Method methods[] = {
    {"GetText", get_text},
    {"GetCharacterAtOffset", get_character_at_offset},
    {"GetStringAtOffset", get_string_at_offset},
    {"GetTextAtOffset", by_boundary<text_at>},
    {"GetTextBeforeOffset", by_boundary<text_before>},
    {"GetTextAfterOffset", by_boundary<text_after>},
    {"GetNSelections", no_selections},
    {"GetSelection", get_selection},
    {"GetAttributes", get_attribute_run},
    {"GetAttributeRun", get_attribute_run},
    {"GetDefaultAttributes", get_default_attributes},
    {"GetDefaultAttributeSet", get_default_attributes},
    {"GetCharacterExtents", get_character_extents},
    {"GetRangeExtents", get_range_extents},
    {"GetOffsetAtPoint", get_offset_at_point},
};

const Property properties[] = {
    {"CharacterCount", character_count, nullptr},
    {"CaretOffset", caret_offset, nullptr},
};

}  // namespace

const Interface text_interface = {
    "org.a11y.atspi.Text", serves, methods, std::size(methods), properties, std::size(properties),
};

}  // namespace a11y

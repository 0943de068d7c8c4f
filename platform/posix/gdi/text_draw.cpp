// Text output: TextOutA, DrawTextA with its alignment, word breaking and
// & prefixes, and the measuring calls.
#include <string.h>

#include <string>
#include <vector>

#include "platform/posix/gdi/device_context.h"
#include "platform/posix/gdi/font.h"

using gdi::DeviceContext;
using gdi::find_dc;
using gdi::Font;

namespace {

// A line as it is shown: its characters, which of them carry the prefix
// underline, and its width.
struct Line {
    std::string text;
    std::vector<bool> underlined;
    int width = 0;
};

class Measure {
  public:
    Measure(const Font& font, bool expand_tabs) : font_(font), expand_tabs_(expand_tabs) {}
    // The advance of c when the pen is at x from the start of the line.
    int advance(unsigned char c, int x) const {
        if (c == '\t' && expand_tabs_) {
            const int stop = 8 * (font_.average_width() > 0 ? font_.average_width() : 1);
            return stop - x % stop;
        }
        return font_.advance(c);
    }
    int width(const std::string& s, size_t from, size_t to) const {
        int x = 0;
        for (size_t i = from; i < to; ++i) {
            x += advance(static_cast<unsigned char>(s[i]), x);
        }
        return x;
    }

  private:
    const Font& font_;
    bool expand_tabs_;
};

// Drops each single '&' and marks the character after it; "&&" shows one.
Line strip_prefixes(const char* text, size_t length, bool prefixes) {
    Line line;
    for (size_t i = 0; i < length; ++i) {
        bool underline = false;
        if (prefixes && text[i] == '&' && i + 1 < length) {
            ++i;
            underline = text[i] != '&';
        } else if (prefixes && text[i] == '&') {
            continue;
        }
        line.text.push_back(text[i]);
        line.underlined.push_back(underline);
    }
    return line;
}

Line slice(const Line& source, size_t from, size_t to) {
    Line line;
    line.text = source.text.substr(from, to - from);
    line.underlined.assign(source.underlined.begin() + from, source.underlined.begin() + to);
    return line;
}

// Breaks a line between words so each piece fits max_width where it can; a
// word wider than the line stays whole on a line of its own.
void break_words(const Line& source, int max_width, const Measure& measure, std::vector<Line>* out) {
    const std::string& s = source.text;
    const size_t length = s.size();
    size_t start = 0;
    while (true) {
        size_t i = start;
        size_t last_space = std::string::npos;
        int x = 0;
        while (i < length) {
            const int w = measure.advance(static_cast<unsigned char>(s[i]), x);
            if (s[i] == ' ') {
                last_space = i;
            }
            if (x + w > max_width && i > start) {
                break;
            }
            x += w;
            ++i;
        }
        if (i >= length) {
            out->push_back(slice(source, start, length));
            return;
        }
        size_t end;
        if (last_space != std::string::npos && last_space > start) {
            end = last_space;
        } else {
            end = s.find(' ', i);
            if (end == std::string::npos) {
                out->push_back(slice(source, start, length));
                return;
            }
        }
        size_t trimmed = end;
        while (trimmed > start && s[trimmed - 1] == ' ') {
            --trimmed;
        }
        out->push_back(slice(source, start, trimmed));
        start = end;
        while (start < length && s[start] == ' ') {
            ++start;
        }
        if (start >= length) {
            return;
        }
    }
}

// The line is laid out with the program's font and drawn with the device's:
// the letters spaced by the device font's own advances, as the face intends
// at that size, and what that width differs from the program's measure
// (mapped to the device) spread over the spaces, so the line starts and
// ends where the program measured it. A tab starts its text at the device
// pixel its logical position maps to.
void draw_run(DeviceContext* dc, int x, int y, const Line& line, const Measure& measure) {
    const Font& font = dc->current_font();
    const Font& device_font = dc->device_font();
    const int baseline = dc->device_y(y + font.ascent());
    const int w = dc->line();
    int logical_width = 0, device_width = 0, spaces = 0;
    for (char ch : line.text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        logical_width += measure.advance(c, logical_width);
        device_width += device_font.advance(c);
        spaces += c == ' ';
    }
    const int spare = dc->device_x(x + logical_width) - dc->device_x(x) - device_width;
    int pen = 0;
    int device_pen = dc->device_x(x);
    int spaces_seen = 0;
    for (size_t i = 0; i < line.text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line.text[i]);
        const int advance = measure.advance(c, pen);
        if (i > 0 && line.text[i - 1] == '\t') {
            device_pen = dc->device_x(x + pen);
        }
        const gdi::Glyph& g = device_font.glyph(c);
        if (c != '\t' && !g.coverage.empty()) {
            dc->blend_coverage(device_pen + g.left, baseline - g.top, g.width, g.height, g.coverage.data(),
                               dc->text_colour);
        }
        if (i < line.underlined.size() && line.underlined[i]) {
            dc->fill_device(RECT{device_pen, baseline + w, device_pen + g.advance, baseline + 2 * w}, dc->text_colour);
        }
        pen += advance;
        device_pen += g.advance;
        if (c == ' ') {
            // This space's share of the spare pixels.
            device_pen += spare * (spaces_seen + 1) / spaces - spare * spaces_seen / spaces;
            ++spaces_seen;
        }
    }
}

}  // namespace

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || c < 0 || (!lpString && c > 0)) {
        return FALSE;
    }
    const Measure measure(dc->current_font(), false);
    Line line = strip_prefixes(lpString ? lpString : "", static_cast<size_t>(c), false);
    line.width = measure.width(line.text, 0, line.text.size());
    if (dc->background_mode == OPAQUE) {
        dc->fill(RECT{x, y, x + line.width, y + dc->current_font().height()}, dc->background_colour);
    }
    draw_run(dc, x, y, line, measure);
    return TRUE;
}

namespace {

// The text as DrawTextA shows it: split at line ends unless DT_SINGLELINE,
// prefixes taken out unless DT_NOPREFIX, broken at words for DT_WORDBREAK;
// each line measured.
std::vector<Line> lay_out_lines(const char* text, size_t length, UINT format, int box_width, const Measure& measure) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start <= length) {
        size_t end = start;
        if (!(format & DT_SINGLELINE)) {
            while (end < length && text[end] != '\n' && text[end] != '\r') {
                ++end;
            }
        } else {
            end = length;
        }
        Line logical = strip_prefixes(text + start, end - start, !(format & DT_NOPREFIX));
        if (format & DT_WORDBREAK) {
            break_words(logical, box_width, measure, &lines);
        } else {
            lines.push_back(logical);
        }
        if (end >= length) {
            break;
        }
        start = end + (text[end] == '\r' && end + 1 < length && text[end + 1] == '\n' ? 2 : 1);
    }
    for (Line& line : lines) {
        line.width = measure.width(line.text, 0, line.text.size());
    }
    return lines;
}

// Draws the lines in the rectangle as the format aligns them; gives the
// height drawn.
int draw_lines(DeviceContext* dc, const std::vector<Line>& lines, const RECT& box, UINT format,
               const Measure& measure) {
    const int line_height = dc->current_font().height();
    const int total_height = line_height * static_cast<int>(lines.size());
    int y = box.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            y = box.top + (box.bottom - box.top - total_height) / 2;
        } else if (format & DT_BOTTOM) {
            y = box.bottom - total_height;
        }
    }
    RECT saved = dc->clip;
    if (!(format & DT_NOCLIP)) {
        saved = dc->narrow_clip(box);
    }
    for (const Line& line : lines) {
        int x = box.left;
        if (format & DT_CENTER) {
            x = box.left + (box.right - box.left - line.width) / 2;
        } else if (format & DT_RIGHT) {
            x = box.right - line.width;
        }
        if (dc->background_mode == OPAQUE) {
            dc->fill(RECT{x, y, x + line.width, y + line_height}, dc->background_colour);
        }
        draw_run(dc, x, y, line, measure);
        y += line_height;
    }
    dc->restore_clip(saved);
    return y - box.top;
}

}  // namespace

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !lprc) {
        return 0;
    }
    if (!lpchText) {
        lpchText = "";
    }
    const size_t length = cchText < 0 ? strlen(lpchText) : static_cast<size_t>(cchText);
    const Measure measure(dc->current_font(), format & DT_EXPANDTABS);
    const std::vector<Line> lines = lay_out_lines(lpchText, length, format, lprc->right - lprc->left, measure);
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines) {
            widest = line.width > widest ? line.width : widest;
        }
        const int total_height = length == 0 ? 0 : dc->current_font().height() * static_cast<int>(lines.size());
        lprc->right = lprc->left + widest;
        lprc->bottom = lprc->top + total_height;
        return total_height;
    }
    if (length == 0) {
        return 0;
    }
    return draw_lines(dc, lines, *lprc, format, measure);
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !psizl || c < 0 || (!lpString && c > 0)) {
        return FALSE;
    }
    const Measure measure(dc->current_font(), false);
    const std::string text(lpString ? lpString : "", static_cast<size_t>(c));
    psizl->cx = measure.width(text, 0, text.size());
    psizl->cy = dc->current_font().height();
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !lptm) {
        return FALSE;
    }
    const Font& font = dc->current_font();
    memset(lptm, 0, sizeof *lptm);
    lptm->tmHeight = font.height();
    lptm->tmAscent = font.ascent();
    lptm->tmDescent = font.descent();
    lptm->tmInternalLeading = font.internal_leading();
    lptm->tmExternalLeading = 0;
    lptm->tmAveCharWidth = font.average_width();
    lptm->tmMaxCharWidth = font.max_width();
    return TRUE;
}

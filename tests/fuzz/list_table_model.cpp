// The rules: an optional UTF-8 byte-order mark at the very start; lines end
// at LF, CR, CR LF, NUL or the end of the file, and past the end every line
// is empty; 430 lines are read, each cut to the 63999 bytes that the 64000-byte
// working buffer holds with its terminating zero; "" is skipped, a first "'"
// is a comment, the 28 keywords open sections, anything else is an item,
// written under "#ALWAYS" or under a category whose state is exactly 1, never
// before the first keyword. The table is a header and CR LF rows.
#include "fuzz/list_table_model.h"

namespace fuzz {

namespace {

const int lines_read = 430;
const size_t longest_line = 63999;
const int always = -2;
const int no_section = -1;

const char* const category_keywords[category_count] = {
    "#AXES",   "#BOWS",   "#CROSSBOWS", "#DAGGERS",  "#JAVELINS",  "#MACES", "#POLEARMS",    "#SCEPTERS", "#SPEARS",
    "#STAVES", "#SWORDS", "#THROWING",  "#WANDS",    "#HELMS",     "#BODY",  "#SHIELDS",     "#GLOVES",   "#BELTS",
    "#BOOTS",  "#MISC",   "#AMAZON",    "#ASSASSIN", "#BARBARIAN", "#DRUID", "#NECROMANCER", "#PALADIN",  "#SORCERESS",
};

std::string next_line(const std::string& bytes, size_t* at) {
    std::string line;
    while (*at < bytes.size()) {
        char c = bytes[(*at)++];
        if (c == '\n' || c == '\0') {
            break;
        }
        if (c == '\r') {
            if (*at < bytes.size() && bytes[*at] == '\n') {
                ++*at;
            }
            break;
        }
        line += c;
    }
    return line.size() > longest_line ? line.substr(0, longest_line) : line;
}

// The section a keyword line opens, or no_section for any other line.
int keyword_section(const std::string& line) {
    if (line == "#ALWAYS") {
        return always;
    }
    for (int i = 0; i < category_count; ++i) {
        if (line == category_keywords[i]) {
            return i;
        }
    }
    return no_section;
}

}  // namespace

std::string expected_table(const std::string& list, const int32_t* categories) {
    size_t at = list.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string table = "name\tcode\r\n";
    int section = no_section;
    for (int i = 0; i < lines_read; ++i) {
        std::string line = next_line(list, &at);
        if (line.empty() || line[0] == '\'') {
            continue;
        }
        int opened = keyword_section(line);
        if (opened != no_section) {
            section = opened;
        } else if (section == always || (section >= 0 && categories[section] == 1)) {
            table += line + "\r\n";
        }
    }
    return table;
}

}  // namespace fuzz

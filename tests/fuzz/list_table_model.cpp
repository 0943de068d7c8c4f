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

const int kLinesRead = 430;
const size_t kLongestLine = 63999;
const int kAlways = -2;
const int kNoSection = -1;

const char* const kCategoryKeywords[kCategories] = {
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
    return line.size() > kLongestLine ? line.substr(0, kLongestLine) : line;
}

// The section a keyword line opens, or kNoSection for any other line.
int keyword_section(const std::string& line) {
    if (line == "#ALWAYS") {
        return kAlways;
    }
    for (int i = 0; i < kCategories; ++i) {
        if (line == kCategoryKeywords[i]) {
            return i;
        }
    }
    return kNoSection;
}

}  // namespace

std::string expected_table(const std::string& list, const int32_t* categories) {
    size_t at = list.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string table = "name\tcode\r\n";
    int section = kNoSection;
    for (int i = 0; i < kLinesRead; ++i) {
        std::string line = next_line(list, &at);
        if (line.empty() || line[0] == '\'') {
            continue;
        }
        int opened = keyword_section(line);
        if (opened != kNoSection) {
            section = opened;
        } else if (section == kAlways || (section >= 0 && categories[section] == 1)) {
            table += line + "\r\n";
        }
    }
    return table;
}

}  // namespace fuzz

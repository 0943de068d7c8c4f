#include "app/list_file.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "runtime/files/file_system.h"
#include "unit/support/app_fixture.h"

namespace {

const char* const table_path = "Data/Global/Excel/gamble.txt";
const std::string header = "name\tcode\r\n";

std::string crlf_lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

class ListFileTest : public AppTest {
  protected:
    std::string generate(const std::string& list) {
        write_whole_file("sorvane.lst", list);
        EXPECT_EQ(load_list(), Success);
        EXPECT_EQ(write_gamble_table(scripted_state), Success);
        EXPECT_EQ(file_table[1], nullptr);
        return read_whole_file(table_path);
    }
};

TEST_F(ListFileTest, MissingAndUnopenableLists) {
    EXPECT_EQ(load_list(), ListMissing);
    ASSERT_EQ(mkdir("sorvane.lst", 0777), 0);
    EXPECT_EQ(load_list(), ListUnopenable);
    EXPECT_EQ(current_file, nullptr);
}

TEST_F(ListFileTest, ReadOnlyListLoadsAndStaysUnchanged) {
    std::string list = "#ALWAYS\nRing\tr\n";
    write_whole_file("sorvane.lst", list);
    ASSERT_EQ(chmod("sorvane.lst", 0444), 0);
    ASSERT_EQ(load_list(), Success);
    EXPECT_STREQ(line_array[1], "Ring\tr");
    EXPECT_EQ(file_table[1], nullptr);
    EXPECT_EQ(read_whole_file("sorvane.lst"), list);
}

TEST_F(ListFileTest, ShortListFillsTheRestWithEmptyStrings) {
    write_whole_file("sorvane.lst", "a\r\nb");
    ASSERT_EQ(load_list(), Success);
    EXPECT_STREQ(line_array[0], "a");
    EXPECT_STREQ(line_array[1], "b");
    for (int i = 2; i < LIST_LINE_COUNT; ++i) {
        ASSERT_NE(line_array[i], nullptr);
        EXPECT_STREQ(line_array[i], "");
    }
    EXPECT_EQ(line_array[LIST_LINE_COUNT], nullptr);
}

TEST_F(ListFileTest, CreatesTheFoldersAndSelectsByState) {
    scripted_states[0] = 1;
    scripted_states[1] = 2;  // only exactly 1 selects
    std::string table = generate(crlf_lines({"'comment", "#AXES", "Hand Axe\thax", "", "#BOWS", "Reed Bow\trdb",
                                             "#ALWAYS", "Ring\terg", "#MISC", "Key\tkey"}));
    EXPECT_EQ(table, header + crlf_lines({"Hand Axe\thax", "Ring\terg"}));
}

TEST_F(ListFileTest, OnlyTheHeaderWhenNothingIsSelected) {
    EXPECT_EQ(generate(crlf_lines({"#AXES", "Hand Axe\thax", "#SORCERESS", "Orb\torb"})), header);
}

TEST_F(ListFileTest, SplitSectionsAndItemsInTwoSections) {
    std::string list = crlf_lines({"#SWORDS", "Sabre\tsab", "#PALADIN", "Knight Blade\tknb", "Aegis\tags", "#SWORDS",
                                   "Knight Blade\tknb", "#ALWAYS", "Draught\tdrt"});
    scripted_states[10] = 1;
    EXPECT_EQ(generate(list), header + crlf_lines({"Sabre\tsab", "Knight Blade\tknb", "Draught\tdrt"}));
    scripted_states[25] = 1;
    std::string both =
        header + crlf_lines({"Sabre\tsab", "Knight Blade\tknb", "Aegis\tags", "Knight Blade\tknb", "Draught\tdrt"});
    EXPECT_EQ(generate(list), both);
    // Generating again yields the same bytes.
    ASSERT_EQ(write_gamble_table(scripted_state), Success);
    EXPECT_EQ(read_whole_file(table_path), both);
}

TEST_F(ListFileTest, ItemsBeforeTheFirstKeywordAreNeverWrittenNorLookedUp) {
    set_all_states(1);
    std::string table = generate(crlf_lines({"Stray\tstr", "'x", "#AXES", "Axe\tax"}));
    EXPECT_EQ(table, header + crlf_lines({"Axe\tax"}));
    EXPECT_EQ(asked_indices, (std::vector<int32_t>{0}));
}

TEST_F(ListFileTest, LineEndingsGiveTheSameTable) {
    set_all_states(1);
    std::vector<std::string> lines = {"#AXES", "Axe\tax", "", "'c", "#ALWAYS", "Ring\tr"};
    std::string expected = header + crlf_lines({"Axe\tax", "Ring\tr"});
    std::string lf, cr;
    for (const std::string& line : lines) {
        lf += line + "\n";
        cr += line + "\r";
    }
    EXPECT_EQ(generate(crlf_lines(lines)), expected);
    EXPECT_EQ(generate(lf), expected);
    EXPECT_EQ(generate(cr), expected);
}

TEST_F(ListFileTest, OnlyTheFirstLinesAreRead) {
    std::vector<std::string> lines = {"#ALWAYS"};
    for (int i = 1; i < 440; ++i) {
        lines.push_back("Item " + std::to_string(i));
    }
    set_all_states(1);
    std::string table = generate(crlf_lines(lines));
    EXPECT_NE(table.find("Item 429\r\n"), std::string::npos);
    EXPECT_EQ(table.find("Item 430"), std::string::npos);
}

TEST_F(ListFileTest, TableReplacesAnEarlierOne) {
    ASSERT_EQ(mkdir("data", 0777), 0);
    ASSERT_EQ(mkdir("data/global", 0777), 0);
    ASSERT_EQ(mkdir("data/global/excel", 0777), 0);
    write_whole_file("data/global/excel/gamble.txt", std::string(5000, 'z'));
    write_whole_file("sorvane.lst", "#AXES\nAxe\n");
    ASSERT_EQ(load_list(), Success);
    ASSERT_EQ(write_gamble_table(scripted_state), Success);
    EXPECT_EQ(read_whole_file("data/global/excel/gamble.txt"), header);
}

TEST_F(ListFileTest, FolderFailedWhenTheFoldersExistButTheTableIsReadOnly) {
    ASSERT_EQ(write_gamble_table(scripted_state), Success);
    ASSERT_EQ(chmod(table_path, 0444), 0);
    EXPECT_EQ(write_gamble_table(scripted_state), FolderFailed);
    EXPECT_EQ(file_table[1], nullptr);
}

TEST_F(ListFileTest, FolderFailedWhenDataIsAFile) {
    write_whole_file("Data", "");
    EXPECT_EQ(write_gamble_table(scripted_state), FolderFailed);
}

TEST_F(ListFileTest, TableFailedWhenTheSecondCreateFails) {
    kernel::sys.open = [](const char* path, int flags, mode_t mode) {
        if (strstr(path, "gamble.txt")) {
            errno = EACCES;
            return -1;
        }
        return kernel::default_syscalls().open(path, flags, mode);
    };
    EXPECT_EQ(write_gamble_table(scripted_state), TableFailed);
    kernel::reset_syscalls();
    EXPECT_EQ(file_size("Data/Global/Excel"), -2);
    EXPECT_EQ(file_table[1], nullptr);
}

size_t bytes_allowed = 0;

ssize_t limited_write(int fd, const void* buffer, size_t count) {
    if (bytes_allowed == 0) {
        errno = ENOSPC;
        return -1;
    }
    size_t allowed = count < bytes_allowed ? count : bytes_allowed;
    bytes_allowed -= allowed;
    return kernel::default_syscalls().write(fd, buffer, allowed);
}

TEST_F(ListFileTest, ShortWritesAreTableFailed) {
    set_all_states(1);
    write_whole_file("sorvane.lst", crlf_lines({"#AXES", "Hand Axe\thax", "Twin Axe\ttwa"}));
    ASSERT_EQ(load_list(), Success);
    // Cut inside the header, inside an item, and inside a terminator.
    for (size_t limit : {5, 11, 20, 24}) {
        bytes_allowed = limit;
        kernel::sys.write = limited_write;
        EXPECT_EQ(write_gamble_table(scripted_state), TableFailed) << limit;
        kernel::reset_syscalls();
        EXPECT_EQ(file_table[1], nullptr);
    }
    bytes_allowed = 11 + 14 + 14;
    kernel::sys.write = limited_write;
    EXPECT_EQ(write_gamble_table(scripted_state), Success);
}

TEST_F(ListFileTest, OverlongLinesAreCutAndDoNotSpill) {
    set_all_states(1);
    std::string huge(100000, 'h');
    std::string list = crlf_lines({"#ALWAYS", huge, "After\taft"});
    std::string table = generate(list);
    EXPECT_EQ(strlen(line_array[1]), static_cast<size_t>(STRING_BUFFER_SIZE - 1));
    EXPECT_STREQ(line_array[2], "After\taft");
    EXPECT_EQ(table, header + crlf_lines({huge.substr(0, STRING_BUFFER_SIZE - 1), "After\taft"}));
}

TEST_F(ListFileTest, AByteOrderMarkAtTheStartIsSkipped) {
    scripted_states[0] = 1;
    std::string list = "\xEF\xBB\xBF" + crlf_lines({"#ALWAYS", "Ring\tr", "#AXES",
                                                    "\xEF\xBB\xBF"
                                                    "Axe"});
    EXPECT_EQ(generate(list), header + crlf_lines({"Ring\tr",
                                                   "\xEF\xBB\xBF"
                                                   "Axe"}));
    EXPECT_STREQ(line_array[0], "#ALWAYS");
}

TEST_F(ListFileTest, OnlyAWholeByteOrderMarkIsSkipped) {
    set_all_states(1);
    EXPECT_EQ(generate("\xEF\xBB#ALWAYS\r\nRing\r\n"), header);
    EXPECT_STREQ(line_array[0], "\xEF\xBB#ALWAYS");
    EXPECT_EQ(generate("\xEF\xBB\xBF"), header);
    EXPECT_STREQ(line_array[0], "");
    EXPECT_EQ(generate("\xEF\n#ALWAYS\nRing\n"), header + crlf_lines({"Ring"}));
    EXPECT_STREQ(line_array[0], "\xEF");
}

// The example list that ships with the game folder.
TEST_F(ListFileTest, ExampleListCoversEveryCategory) {
    std::string source = __FILE__;
    std::string example = source.substr(0, source.rfind("/tests/")) + "/examples/game/sorvane.lst";
    std::string list = read_whole_file(example);
    ASSERT_NE(list, "<missing>");
    write_whole_file("sorvane.lst", list);
    ASSERT_EQ(load_list(), Success);
    int line_count = 0;
    for (char byte : list) {
        line_count += byte == '\n';
    }
    EXPECT_LT(line_count, LIST_LINE_COUNT);

    int keyword_count[CATEGORY_COUNT] = {};
    int always = 0, comments = 0, blanks = 0, items = 0;
    for (int i = 0; i < LIST_LINE_COUNT; ++i) {
        LineClass line_class = classify_line(line_array[i]);
        if (line_class.kind == KeywordLine && line_class.section == ALWAYS_SECTION) {
            ++always;
        } else if (line_class.kind == KeywordLine) {
            ++keyword_count[line_class.section];
        }
        comments += line_class.kind == CommentLine;
        blanks += line_class.kind == EmptyLine && i < line_count;
        items += line_class.kind == ItemLine;
    }
    bool split = false;
    for (int count : keyword_count) {
        EXPECT_GE(count, 1);
        split = split || count > 1;
    }
    EXPECT_TRUE(split);
    EXPECT_GE(always, 1);
    EXPECT_GE(comments, 1);
    EXPECT_GE(blanks, 1);

    set_all_states(1);
    ASSERT_EQ(write_gamble_table(scripted_state), Success);
    std::string table = read_whole_file(table_path);
    int rows = 0;
    for (char byte : table) {
        rows += byte == '\n';
    }
    EXPECT_EQ(rows, 1 + items);
}

}  // namespace

#include "runtime/files/channels.h"

#include <errno.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "unit/support/file_fixture.h"

namespace {

class ChannelsTest : public FileTest {
  protected:
    // Reads count lines, storing each as the application does.
    std::vector<std::string> read_lines(int count) {
        std::vector<std::string> lines;
        char* stored = nullptr;
        for (int i = 0; i < count; ++i) {
            char* start = result_cursor;
            char* line = read_line();
            EXPECT_EQ(line, start);
            assign_string(&stored, start);
            EXPECT_EQ(result_cursor, start);
            lines.push_back(stored ? stored : "<null>");
        }
        return lines;
    }

    std::vector<std::string> lines_of(const std::string& bytes, int count) {
        write_whole_file("lines.txt", bytes);
        EXPECT_NE(open_file(1, "lines.txt"), 0);
        std::vector<std::string> lines = read_lines(count);
        close_file(1);
        return lines;
    }
};

using Lines = std::vector<std::string>;

TEST_F(ChannelsTest, LineTerminators) {
    EXPECT_EQ(lines_of("1\r\n2\r3\n4", 6), (Lines{"1", "2", "3", "4", "", ""}));
    EXPECT_EQ(lines_of(std::string("ab\0cd\n", 6), 3), (Lines{"ab", "cd", ""}));
    EXPECT_EQ(lines_of("a\n\rb", 3), (Lines{"a", "", "b"}));
    EXPECT_EQ(lines_of("\r\r\n\n", 4), (Lines{"", "", "", ""}));
    EXPECT_EQ(lines_of("", 2), (Lines{"", ""}));
}

TEST_F(ChannelsTest, FinalCarriageReturnLeavesThePositionAtTheEnd) {
    write_whole_file("cr.txt", "last\r");
    ASSERT_NE(open_file(1, "cr.txt"), 0);
    EXPECT_EQ(read_lines(2), (Lines{"last", ""}));
    EXPECT_EQ(write_byte('!'), 1);
    close_file(1);
    EXPECT_EQ(read_whole_file("cr.txt"), "last\r!");
}

TEST_F(ChannelsTest, LineIsReturnedByteForByte) {
    std::string odd = "\xff\x80 tab\there \x01";
    EXPECT_EQ(lines_of(odd + "\r\n", 1), (Lines{odd}));
}

TEST_F(ChannelsTest, ReadByteSignExtendsAndReadsZeroAfterTheEnd) {
    write_whole_file("bytes", "\xff\x80\x7f");
    ASSERT_NE(open_file(1, "bytes"), 0);
    EXPECT_EQ(read_byte(), -1);
    EXPECT_EQ(read_byte(), -128);
    EXPECT_EQ(read_byte(), 127);
    EXPECT_EQ(read_byte(), 0);
    EXPECT_EQ(read_byte(), 0);
}

TEST_F(ChannelsTest, OpenFileCreatesAnEmptyFileWithoutGrowingIt) {
    ASSERT_NE(open_file(1, "new.sav"), 0);
    for (int i = 0; i < 27; ++i) {
        EXPECT_EQ(read_byte(), 0);
    }
    close_file(1);
    EXPECT_EQ(read_whole_file("new.sav"), "");
}

TEST_F(ChannelsTest, OpenFileOverwritesInPlaceWithoutTruncating) {
    std::string original(100, 'x');
    write_whole_file("state", original);
    ASSERT_NE(open_file(1, "state"), 0);
    for (int i = 0; i < 27; ++i) {
        EXPECT_EQ(write_byte(0x100 + 'a' + i % 26), 1);
    }
    close_file(1);
    std::string expected = original;
    for (int i = 0; i < 27; ++i) {
        expected[i] = static_cast<char>('a' + i % 26);
    }
    EXPECT_EQ(read_whole_file("state"), expected);
}

TEST_F(ChannelsTest, CreateFileTruncatesAndCannotRead) {
    write_whole_file("table", "old contents\r\n");
    ASSERT_NE(create_file(1, "table"), 0);
    EXPECT_EQ(read_whole_file("table"), "");
    EXPECT_EQ(read_byte(), 0);
    char* start = result_cursor;
    EXPECT_STREQ(read_line(), "");
    result_cursor = start;
    EXPECT_EQ(write_line("abc"), 5);
    EXPECT_EQ(write_line(""), 2);
    EXPECT_EQ(write_line(nullptr), 2);
    close_file(1);
    EXPECT_EQ(read_whole_file("table"), "abc\r\n\r\n\r\n");
}

TEST_F(ChannelsTest, NothingHappensWithoutACurrentFile) {
    char* start = result_cursor;
    start[0] = 'q';
    EXPECT_EQ(read_byte(), 0);
    EXPECT_EQ(read_line(), nullptr);
    EXPECT_EQ(start[0], 'q');
    EXPECT_EQ(result_cursor, start);
    EXPECT_EQ(write_line("x"), 0);
    EXPECT_EQ(write_byte(1), 0);
    EXPECT_EQ(set_file_position(0), 0);
}

TEST_F(ChannelsTest, PositionMovesBackForRereadingAndOverwriting) {
    write_whole_file("state", "abcdef");
    ASSERT_NE(open_file(1, "state"), 0);
    EXPECT_EQ(read_byte(), 'a');
    EXPECT_EQ(read_byte(), 'b');
    EXPECT_EQ(set_file_position(0), 1);
    EXPECT_EQ(read_byte(), 'a');
    EXPECT_EQ(set_file_position(4), 1);
    EXPECT_EQ(write_byte('X'), 1);
    EXPECT_EQ(set_file_position(-1), 0);
    EXPECT_EQ(read_byte(), 'f');
    close_file(1);
    EXPECT_EQ(read_whole_file("state"), "abcdXf");
}

TEST_F(ChannelsTest, ClosingTheCurrentFileLeavesNoCurrentFile) {
    ASSERT_NE(open_file(3, "a"), 0);
    close_file(3);
    EXPECT_EQ(current_file, nullptr);
    EXPECT_EQ(write_byte('x'), 0);
    EXPECT_EQ(read_whole_file("a"), "");
    // Closing an empty channel, or an unknown id, does nothing.
    close_file(3);
    close_file(DYNAMIC_CHANNEL);
    close_file(reinterpret_cast<intptr_t>(&previous_folder));
}

TEST_F(ChannelsTest, FailedReopenKeepsTheEarlierFile) {
    ASSERT_NE(open_file(1, "first"), 0);
    HANDLE first = file_table[1];
    EXPECT_EQ(open_file(1, "no such folder/second"), 0);
    EXPECT_EQ(current_file, nullptr);
    EXPECT_EQ(file_table[1], first);
    EXPECT_EQ(file_table_capacity, INITIAL_FILE_TABLE_CAPACITY);
    // Still open: it keeps others from writing it.
    EXPECT_EQ(open_file(2, "first"), 0);
    close_file(1);
    EXPECT_NE(open_file(2, "first"), 0);
}

TEST_F(ChannelsTest, ReopenClosesTheEarlierFileAfterTheNewOneOpened) {
    ASSERT_NE(open_file(1, "first"), 0);
    ASSERT_NE(open_file(1, "second"), 0);
    EXPECT_EQ(write_byte('2'), 1);
    // The first is closed now, so it can be opened for writing again.
    EXPECT_NE(open_file(2, "first"), 0);
    // The very file open with write access on the channel is shared for reading only.
    EXPECT_EQ(open_file(2, "first"), 0);
    EXPECT_EQ(read_whole_file("second"), "2");
}

TEST_F(ChannelsTest, ShareModesBetweenChannels) {
    ASSERT_NE(open_file(1, "shared"), 0);
    EXPECT_EQ(create_file(2, "shared"), 0);
    EXPECT_EQ(open_channel(2, "shared", OPEN_MODE_READ_ONLY), 0);
    close_file(1);
    ASSERT_NE(open_channel(1, "shared", OPEN_MODE_READ_ONLY), 0);
    EXPECT_NE(open_channel(2, "shared", OPEN_MODE_READ_ONLY), 0);
    EXPECT_EQ(open_file(3, "shared"), 0);
    EXPECT_EQ(create_file(3, "shared"), 0);
}

TEST_F(ChannelsTest, ReadOnlyFileOpensOnlyForReading) {
    write_whole_file("locked", "line\n");
    ASSERT_EQ(chmod("locked", 0444), 0);
    EXPECT_EQ(open_file(1, "locked"), 0);
    EXPECT_EQ(create_file(1, "locked"), 0);
    ASSERT_NE(open_channel(1, "locked", OPEN_MODE_READ_ONLY), 0);
    EXPECT_EQ(read_lines(1), (Lines{"line"}));
    EXPECT_EQ(write_byte('x'), 0);
    close_file(1);
    EXPECT_EQ(read_whole_file("locked"), "line\n");
    EXPECT_EQ(open_channel(1, "missing", OPEN_MODE_READ_ONLY), 0);
    EXPECT_EQ(read_whole_file("missing"), "<missing>");
}

TEST_F(ChannelsTest, TableGrowsAndKeepsItsFiles) {
    HANDLE handles[10];
    for (int i = 0; i < 10; ++i) {
        std::string name = "f" + std::to_string(i);
        intptr_t result = open_file(i, name.c_str());
        ASSERT_NE(result, 0);
        handles[i] = reinterpret_cast<HANDLE>(result);
    }
    ASSERT_NE(open_file(25, "f25"), 0);
    EXPECT_EQ(file_table_capacity, 35);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(file_table[i], handles[i]);
    }
    for (int i = 10; i < 35; ++i) {
        EXPECT_EQ(file_table[i] != nullptr, i == 25);
    }
    close_all_files();
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(file_table[i], nullptr);
    }
}

TEST_F(ChannelsTest, DynamicChannels) {
    intptr_t first = open_file(DYNAMIC_CHANNEL, "d1");
    ASSERT_NE(first, 0);
    EXPECT_TRUE(first < 0 || first >= file_table_capacity);
    EXPECT_EQ(*reinterpret_cast<HANDLE*>(first), current_file);
    EXPECT_EQ(write_byte('1'), 1);
    intptr_t second = open_file(DYNAMIC_CHANNEL, "d2");
    intptr_t third = open_file(DYNAMIC_CHANNEL, "d3");
    ASSERT_NE(second, 0);
    ASSERT_NE(third, 0);
    EXPECT_EQ(payload_of_node(dynamic_channels), reinterpret_cast<void*>(third));

    close_file(second);
    EXPECT_EQ(dynamic_channels->next, node_of_payload(reinterpret_cast<void*>(first)));
    // Closed: another channel may now write it.
    EXPECT_NE(open_file(1, "d2"), 0);
    // A stale id is ignored.
    close_file(second);

    // Reopening by id keeps the channel.
    ASSERT_NE(open_file(first, "d4"), 0);
    EXPECT_EQ(*reinterpret_cast<HANDLE*>(first), current_file);
    EXPECT_NE(open_file(2, "d1"), 0);

    close_all_files();
    EXPECT_EQ(dynamic_channels, nullptr);
    EXPECT_EQ(read_whole_file("d1"), "1");
}

TEST_F(ChannelsTest, CaseInsensitiveFolders) {
    ASSERT_EQ(mkdir("Data", 0777), 0);
    ASSERT_EQ(mkdir("Data/Global", 0777), 0);
    ASSERT_NE(create_file(1, "./data/GLOBAL/x.txt"), 0);
    write_line("x");
    close_file(1);
    EXPECT_EQ(read_whole_file("Data/Global/x.txt"), "x\r\n");
}

size_t write_limit = 0;

TEST_F(ChannelsTest, ShortWritesAreReportedInTheCount) {
    ASSERT_NE(create_file(1, "short"), 0);
    write_limit = 3;
    kernel::sys.write = [](int fd, const void* buffer, size_t count) -> ssize_t {
        if (write_limit == 0) {
            errno = ENOSPC;
            return -1;
        }
        size_t allowed = count < write_limit ? count : write_limit;
        write_limit -= allowed;
        return kernel::default_syscalls().write(fd, buffer, allowed);
    };
    EXPECT_EQ(write_line("abcdef"), 3);
    EXPECT_EQ(write_byte('z'), 0);
    kernel::reset_syscalls();
    close_file(1);
    EXPECT_EQ(read_whole_file("short"), "abc");
}

// Lines longer than the working buffer are cut to what fits; the rest of the
// line is consumed, so the next line starts where it should.
class LongLineTest : public ChannelsTest {
  protected:
    void check(size_t length) {
        std::string line(length, 'L');
        line[0] = 'F';
        write_whole_file("long", line + "\r\nnext\n");
        ASSERT_NE(open_file(1, "long"), 0);
        char* buffer = result_cursor;
        left_string("prefix", 6);  // a result in progress before the line
        char* start = result_cursor;
        char* text = read_line();
        EXPECT_EQ(text, start);
        EXPECT_EQ(result_cursor, buffer + STRING_BUFFER_SIZE - 1);
        EXPECT_EQ(*result_cursor, 0);
        EXPECT_EQ(text[0], 'F');
        EXPECT_EQ(strlen(text), static_cast<size_t>(STRING_BUFFER_SIZE - 7));
        char* stored = nullptr;
        assign_string(&stored, start);
        EXPECT_EQ(strlen(stored), static_cast<size_t>(STRING_BUFFER_SIZE - 7));
        EXPECT_EQ(read_lines(2), (Lines{"next", ""}));
        result_cursor = buffer;
    }
};

TEST_F(LongLineTest, HundredThousandBytes) {
    check(100000);
}

TEST_F(LongLineTest, TenMegabytes) {
    check(10 * 1000 * 1000);
}

TEST_F(LongLineTest, LineThatExactlyFills) {
    std::string line(STRING_BUFFER_SIZE - 1, 'x');
    EXPECT_EQ(lines_of(line + "\n" + "y", 2), (Lines{line, "y"}));
}

}  // namespace

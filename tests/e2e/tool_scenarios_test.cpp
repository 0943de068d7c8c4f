// The whole tool, played through its window as a player would, in fresh
// game folders; files are checked byte for byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/categories.h"
#include "e2e/tool_harness.h"

using namespace e2e;

namespace {

const char* const list_text =
    "'a small list\r\n"
    "\r\n"
    "#ALWAYS\r\n"
    "Always One\ta1\r\n"
    "#AXES\r\n"
    "Axe One\tx1\r\n"
    "#SWORDS\r\n"
    "Sword One\ts1\r\n"
    "#PALADIN\r\n"
    "Sword One\ts1\r\n"
    "Holy Shield\tp1\r\n"
    "#AXES\r\n"
    "Axe Two\tx2\r\n"
    "#SORCERESS\r\n"
    "Orb\to1\r\n";

const char* const full_table =
    "name\tcode\r\n"
    "Always One\ta1\r\n"
    "Axe One\tx1\r\n"
    "Sword One\ts1\r\n"
    "Sword One\ts1\r\n"
    "Holy Shield\tp1\r\n"
    "Axe Two\tx2\r\n"
    "Orb\to1\r\n";

// The folders are made as Data/Global/Excel; the table keeps its own name.
const char* const table_path = "Data/Global/Excel/gamble.txt";
const std::pair<std::string, std::string> generated{"Vorthane Sorvane", "Generated a new gamble table  "};

std::string state_bytes(std::initializer_list<int> checked) {
    std::string bytes(27, '\0');
    for (int i : checked) {
        bytes[i] = 1;
    }
    return bytes;
}

std::string all_checked_digits() {
    return "checked " + std::string(27, '1');
}

struct ToolTest : ::testing::Test {
    GameFolder game;
    void SetUp() override { game.write("sorvane.lst", list_text); }

    bool main_window_shown(const Outcome& outcome) {
        for (const std::string& title : outcome.windows_shown) {
            if (title == main_title) {
                return true;
            }
        }
        return false;
    }
};

}  // namespace

TEST_F(ToolTest, FirstRunCreatesAnEmptyStateFileAndChecksEverything) {
    Outcome outcome = run_tool(game, [] {
        note_checkboxes();
        click_button(EXIT_BUTTON);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    EXPECT_TRUE(main_window_shown(outcome));
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0], all_checked_digits());
    EXPECT_EQ(game.read("sorvane.sav"), "");
    EXPECT_FALSE(game.exists("data"));
    EXPECT_TRUE(outcome.message_boxes.empty());
}

TEST_F(ToolTest, ClicksThenSetFilterWriteTableAndSelection) {
    Outcome outcome = run_tool(game, [] {
        click_button(33);    // Uncheck All
        click_checkbox(0);   // Axes
        click_checkbox(26);  // Sorceress on
        click_checkbox(26);  // and off again
        click_checkbox(10);  // Swords
        click_button(34);    // Set Filter
        player::answer_message_box();
        note_checkboxes();  // the loop goes on after the message
        click_button(35);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    EXPECT_EQ(game.read(table_path),
              "name\tcode\r\n"
              "Always One\ta1\r\n"
              "Axe One\tx1\r\n"
              "Sword One\ts1\r\n"
              "Axe Two\tx2\r\n");
    EXPECT_EQ(game.read("sorvane.sav"), state_bytes({0, 10}));
    ASSERT_EQ(outcome.message_boxes.size(), 1u);
    EXPECT_EQ(outcome.message_boxes[0], generated);
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0], "checked 100000000010000000000000000");
}

TEST_F(ToolTest, CheckAllAndSetFilterTwiceGiveIdenticalTables) {
    game.write("sorvane.sav", state_bytes({3}));
    Outcome outcome = run_tool(game, [] {
        click_button(32);  // Check All
        click_button(34);
        player::answer_message_box();
        player::call([] { note("first done"); });
        click_button(34);
        player::answer_message_box();
        click_button(35);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    EXPECT_EQ(game.read(table_path), full_table);
    EXPECT_EQ(game.read("sorvane.sav"), std::string(27, '\1'));
    ASSERT_EQ(outcome.message_boxes.size(), 2u);
    EXPECT_EQ(outcome.message_boxes[0], generated);
    EXPECT_EQ(outcome.message_boxes[1], generated);
}

TEST_F(ToolTest, SavedSelectionIsShownAtStart) {
    std::string saved = state_bytes({0, 13, 26});
    saved += "extra bytes stay";
    game.write("sorvane.sav", saved);
    Outcome outcome = run_tool(game, [] {
        note_checkboxes();
        click_button(34);
        player::answer_message_box();
        click_button(35);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0], "checked 100000000000010000000000001");
    EXPECT_EQ(game.read("sorvane.sav"), saved);
    EXPECT_EQ(game.read(table_path), "name\tcode\r\nAlways One\ta1\r\nAxe One\tx1\r\nAxe Two\tx2\r\nOrb\to1\r\n");
}

// Exit, the close box and Alt+F4 end the tool the same way, saving nothing.
TEST_F(ToolTest, EveryWayOutEndsWithCodeZeroAndSavesNothing) {
    void (*ways_out[])() = {
        [] {
            click_button(32);
            click_button(35);
        },
        [] {
            click_button(32);
            player::close_window(main_title);
        },
        [] {
            click_button(32);
            player::type_key(VK_F4, player::Alt);
        },
    };
    for (auto way_out : ways_out) {
        GameFolder folder;
        folder.write("sorvane.lst", list_text);
        folder.write("sorvane.sav", state_bytes({5}));
        Outcome outcome = run_tool(folder, way_out);
        EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
        EXPECT_EQ(folder.read("sorvane.sav"), state_bytes({5}));
        EXPECT_FALSE(folder.exists("data"));
        EXPECT_TRUE(outcome.message_boxes.empty());
    }
}

TEST_F(ToolTest, TabThenSpaceTogglesAxes) {
    Outcome outcome = run_tool(game, [] {
        player::type_key(VK_TAB);
        player::type_key(VK_SPACE);
        note_checkboxes();
        player::type_key(VK_TAB, player::Shift);  // wraps to Exit
        player::type_key(VK_SPACE);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0], "checked 0" + std::string(26, '1'));
}

TEST_F(ToolTest, StartUpFailuresShowTheirMessageAndNeverTheWindow) {
    struct Case {
        const char* name;
        void (*prepare)(const GameFolder&);
        const char* text;
    } cases[] = {
        {"list missing", [](const GameFolder& g) { remove(g.file("sorvane.lst").c_str()); },
         "Can't find sorvane.lst  "},
        {"list is a folder",
         [](const GameFolder& g) {
             remove(g.file("sorvane.lst").c_str());
             mkdir(g.file("sorvane.lst").c_str(), 0755);
         },
         "Can't open sorvane.lst  "},
        {"state read-only",
         [](const GameFolder& g) {
             g.write("sorvane.sav", state_bytes({1}));
             chmod(g.file("sorvane.sav").c_str(), 0444);
         },
         "Can't open sorvane.sav  "},
        {"state is a folder", [](const GameFolder& g) { mkdir(g.file("sorvane.sav").c_str(), 0755); },
         "Can't open sorvane.sav  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.write("sorvane.lst", list_text);
        c.prepare(folder);
        Outcome outcome = run_tool(folder, [] { player::answer_message_box(); });
        EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
        ASSERT_EQ(outcome.message_boxes.size(), 1u);
        EXPECT_EQ(outcome.message_boxes[0].first, "Sorvane");
        EXPECT_EQ(outcome.message_boxes[0].second, c.text);
        EXPECT_FALSE(main_window_shown(outcome));
    }
}

TEST_F(ToolTest, ReadOnlyListStillLoads) {
    chmod(game.file("sorvane.lst").c_str(), 0444);
    Outcome outcome = run_tool(game, [] {
        click_button(34);
        player::answer_message_box();
        click_button(35);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    EXPECT_EQ(game.read(table_path), full_table);
}

TEST_F(ToolTest, FolderFailureEndsTheTool) {
    game.write("sorvane.sav", state_bytes({7}));
    game.write("Data", "a file where the folder should be");
    Outcome outcome = run_tool(game, [] {
        click_button(34);
        player::answer_message_box();
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    ASSERT_EQ(outcome.message_boxes.size(), 1u);
    EXPECT_EQ(outcome.message_boxes[0].first, "Sorvane");
    EXPECT_EQ(outcome.message_boxes[0].second, "Can't create Data/Global/Excel folder  ");
    EXPECT_EQ(game.read("sorvane.sav"), state_bytes({7}));
}

TEST_F(ToolTest, ExistingFoldersOfAnyCaseAreUsed) {
    mkdir(game.file("Data").c_str(), 0755);
    mkdir(game.file("Data/GLOBAL").c_str(), 0755);
    Outcome outcome = run_tool(game, [] {
        click_button(34);
        player::answer_message_box();
        click_button(35);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    EXPECT_EQ(game.read("Data/GLOBAL/Excel/gamble.txt"), full_table);
}

TEST_F(ToolTest, LockedStateFileAfterStartUpEndsAfterTheTableIsWritten) {
    game.write("sorvane.sav", state_bytes({0}));
    Outcome outcome = run_tool(game, [] {
        player::call([] {
            // Another program holds the state file, letting others only read.
            HANDLE holder =
                CreateFileA("sorvane.sav", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            note(holder == INVALID_HANDLE_VALUE ? "not held" : "held");
        });
        click_button(32);
        click_button(34);
        player::answer_message_box();
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_EQ(outcome.notes[0], "held");
    EXPECT_EQ(game.read(table_path), full_table);
    ASSERT_EQ(outcome.message_boxes.size(), 1u);
    EXPECT_EQ(outcome.message_boxes[0].first, "Vorthane Sorvane");
    EXPECT_EQ(outcome.message_boxes[0].second, "Can't open sorvane.sav  ");
    EXPECT_EQ(game.read("sorvane.sav"), state_bytes({0}));
}

TEST_F(ToolTest, ExampleGameFolderGeneratesItsTable) {
    std::ifstream in(SORVANE_SOURCE_DIR "/examples/game/sorvane.lst", std::ios::binary);
    ASSERT_TRUE(in);
    std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    game.write("sorvane.lst", list);
    Outcome outcome = run_tool(game, [] {
        click_button(34);
        player::answer_message_box();
        click_button(35);
    });
    EXPECT_EQ(outcome.exit_code, 0) << outcome.stderr_text;
    std::string table = game.read(table_path);
    EXPECT_EQ(table.rfind("name\tcode\r\n", 0), 0u);
    EXPECT_NE(table.find("Ember Ring\terg\r\n"), std::string::npos);
    EXPECT_EQ(game.read("sorvane.sav"), std::string(27, '\1'));
}

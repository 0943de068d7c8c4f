// Every file system call of start-up and of a whole Set Filter, failed in
// turn in each of the four ways a disk fails. Whatever fails, the tool never
// reports success after a write failed, never leaves the state file shorter
// or holding a selection nobody made, and leaves no file or search open.
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/driver.h"
#include "app/list_file.h"
#include "app/state_file.h"
#include "platform/posix/kernel/handles.h"
#include "runtime/files/channels.h"
#include "runtime/memory/heaps.h"
#include "runtime/memory/strings.h"
#include "runtime/shutdown.h"
#include "runtime/ui/controls.h"
#include "support/player.h"
#include "unit/support/file_fixture.h"
#include "unit/support/syscall_faults.h"

namespace {

const std::string list_file =
    "#ALWAYS\r\nRing\trin\r\n'weapons\r\n\r\n#AXES\r\nHand Axe\thax\r\n#BOWS\r\nShort Bow\tsbw\r\n"
    "#SWORDS\r\nSabre\tsbr\r\n#PALADIN\r\nSabre\tsbr\r\n#MISC\r\nKey\tkey\r\n";
// Checkbox i is checked for odd i: "#BOWS", "#PALADIN" and "#MISC" of the list.
const std::string table_written = "name\tcode\r\nRing\trin\r\nShort Bow\tsbw\r\nSabre\tsbr\r\nKey\tkey\r\n";
const char* const success_text = "Generated a new gamble table  ";

std::string old_state() {
    std::string bytes(40, '\x5A');
    for (int i = 0; i < CATEGORY_COUNT; ++i) {
        bytes[i] = i % 3 == 0 ? 1 : 0;
    }
    return bytes;
}

std::string new_state() {
    std::string bytes(CATEGORY_COUNT, '\0');
    for (int i = 0; i < CATEGORY_COUNT; ++i) {
        bytes[i] = static_cast<char>(i % 2);
    }
    return bytes;
}

struct Setting {
    bool set_filter;  // else start-up
    bool state_file;
    bool table_folders;
};

struct Outcome {
    bool ok = false;
    bool failed_a_write = false;
    std::vector<std::string> texts;  // of the message boxes shown
    size_t open_files = 0;
    size_t open_searches = 0;
    int descriptors_left = 0;
    HANDLE channel_1 = 0;
    std::string state, table, list;
    std::vector<faults::Call> calls;
};

int open_descriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (dir != nullptr && readdir(dir) != nullptr) {
        ++count;
    }
    if (dir != nullptr) {
        closedir(dir);
    }
    return count;
}

size_t live_handles(kernel::HandleKind kind) {
    size_t count = 0;
    kernel::for_each_handle(
        kind, [](void*, void* context) { return ++*static_cast<size_t*>(context), true; }, &count);
    return count;
}

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

// One whole run in a fresh game folder: start-up, and Set Filter after it,
// with the fault (if any) armed around the part under test.
Outcome run(const Setting& setting, bool inject, faults::Mode mode, size_t position) {
    char previous[PATH_MAX];
    EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
    char pattern[] = "/tmp/sorvane-sweep-XXXXXX";
    EXPECT_NE(mkdtemp(pattern), nullptr);
    EXPECT_EQ(chdir(pattern), 0);
    write_whole_file("sorvane.lst", list_file);
    if (setting.state_file) {
        write_whole_file("sorvane.sav", old_state());
    }
    if (setting.table_folders) {
        EXPECT_EQ(mkdir("Data", 0777) | mkdir("Data/Global", 0777) | mkdir("Data/Global/Excel", 0777), 0);
        write_whole_file("Data/Global/Excel/gamble.txt", "an earlier table\r\n");
    }

    player::install();
    // As app_main zeroes them: the arrays died with the last run's heap.
    result_cursor = nullptr;
    line_array = nullptr;
    selection_array = nullptr;
    int descriptors = open_descriptors();
    Outcome outcome;
    auto arm = [&] {
        if (inject) {
            faults::arm(mode, position);
        } else {
            faults::record();
        }
    };
    player::answer_message_box();
    if (setting.set_filter) {
        EXPECT_TRUE(start_up());
        for (int i = 0; i < CATEGORY_COUNT; ++i) {
            set_control_state(i, i % 2);
        }
        arm();
        outcome.ok = set_filter();
    } else {
        arm();
        outcome.ok = start_up();
    }
    faults::disarm();
    outcome.failed_a_write = faults::failed_a_write();
    outcome.calls = faults::calls();
    for (const player::MessageBoxSeen& box : player::answered_boxes()) {
        outcome.texts.push_back(box.text);
    }
    outcome.open_files = live_handles(kernel::HandleKind::File);
    outcome.open_searches = live_handles(kernel::HandleKind::Find);
    outcome.descriptors_left = open_descriptors() - descriptors;
    outcome.channel_1 = file_table != nullptr ? file_table[1] : 0;

    player::clear_script();
    runtime_shutdown();
    HeapDestroy(main_heap);
    main_heap = nullptr;
    result_cursor = nullptr;
    outcome.state = read_whole_file("sorvane.sav");
    outcome.table = read_whole_file("Data/Global/Excel/gamble.txt");
    outcome.list = read_whole_file("sorvane.lst");
    EXPECT_EQ(chdir(previous), 0);
    nftw(pattern, remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    return outcome;
}

bool shown(const Outcome& outcome, const char* text) {
    for (const std::string& seen : outcome.texts) {
        if (seen == text) {
            return true;
        }
    }
    return false;
}

// What must hold whatever failed; an empty list when all of it does.
std::vector<std::string> broken_rules(const Setting& setting, faults::Mode mode, const Outcome& outcome) {
    std::vector<std::string> broken;
    if (outcome.open_files != 0 || outcome.open_searches != 0 || outcome.descriptors_left != 0) {
        broken.push_back("left a file, a search or a descriptor open");
    }
    if (outcome.channel_1 != 0) {
        broken.push_back("left channel 1 open");
    }
    if (outcome.list != list_file) {
        broken.push_back("changed the list file");
    }
    if (setting.set_filter && outcome.ok != shown(outcome, success_text)) {
        broken.push_back("reported an outcome other than the one returned");
    }
    if (outcome.failed_a_write && (outcome.ok || shown(outcome, success_text))) {
        broken.push_back("reported success after a failed write");
    }
    if (setting.set_filter && outcome.ok && outcome.table != table_written) {
        broken.push_back("reported success with a wrong table");
    }

    std::string before = setting.state_file ? old_state() : "";
    const std::string& after = outcome.state;
    if (!setting.state_file) {
        if (after != "" && after != "<missing>") {
            broken.push_back("start-up wrote into a new state file");
        }
        return broken;
    }
    std::string fresh = new_state() + before.substr(CATEGORY_COUNT);
    if (after == "<missing>" || after.size() < before.size()) {
        broken.push_back("left the state file shorter");
    } else if (after.substr(CATEGORY_COUNT) != before.substr(CATEGORY_COUNT)) {
        broken.push_back("changed the state file after byte 27");
    } else if (!setting.set_filter && after != before) {
        broken.push_back("start-up changed the state file");
    } else if (setting.set_filter && outcome.ok && after != fresh) {
        broken.push_back("reported success without the new selection saved");
    } else if (after != before && after != fresh) {
        // When every write from the failed one on is refused as well, the
        // earlier bytes cannot be put back: nothing can be written at all.
        bool nothing_writable = mode == faults::Mode::FailsFromThereOn && outcome.failed_a_write;
        if (!nothing_writable) {
            broken.push_back("left the state file holding neither the old selection nor the new one");
        }
    }
    return broken;
}

class FaultSweep : public ::testing::TestWithParam<Setting> {};

TEST_P(FaultSweep, EveryCallFailedInEveryWay) {
    const Setting& setting = GetParam();
    Outcome clean = run(setting, false, faults::Mode::FailsOnce, 0);
    ASSERT_TRUE(clean.ok);
    ASSERT_EQ(broken_rules(setting, faults::Mode::FailsOnce, clean), std::vector<std::string>{});
    ASSERT_GT(clean.calls.size(), 0u);
    if (setting.set_filter) {
        ASSERT_EQ(clean.table, table_written);
    }

    size_t runs = 0, failed_runs = 0, unrestorable = 0;
    std::vector<std::string> problems;
    for (faults::Mode mode : {faults::Mode::FailsOnce, faults::Mode::FailsFromThereOn, faults::Mode::HalfThenFullDisk,
                              faults::Mode::MovesNothing}) {
        for (size_t position = 0; position < clean.calls.size(); ++position) {
            if (!faults::applies_to_every_call(mode) && !clean.calls[position].is_write) {
                continue;
            }
            Outcome outcome = run(setting, true, mode, position);
            ++runs;
            failed_runs += outcome.ok ? 0 : 1;
            unrestorable += mode == faults::Mode::FailsFromThereOn && outcome.failed_a_write &&
                            outcome.state != old_state() && setting.state_file;
            for (const std::string& rule : broken_rules(setting, mode, outcome)) {
                std::ostringstream line;
                line << clean.calls[position].name << " at position " << position << ", " << faults::mode_name(mode)
                     << ": " << rule;
                problems.push_back(line.str());
            }
        }
    }
    std::ostringstream report;
    for (size_t i = 0; i < problems.size() && i < 30; ++i) {
        report << "\n  " << problems[i];
    }
    EXPECT_TRUE(problems.empty()) << problems.size() << " broken:" << report.str();
    printf(
        "fault sweep: %zu call positions, %zu runs, %zu of them reported a failure, %zu left the state file "
        "mixed because no write at all could be made\n",
        clean.calls.size(), runs, failed_runs, unrestorable);
}

std::string setting_name(const ::testing::TestParamInfo<Setting>& info) {
    if (!info.param.set_filter) {
        return info.param.state_file ? "WithStateFile" : "WithoutStateFile";
    }
    return info.param.table_folders ? "TableFoldersPresent" : "TableFoldersAbsent";
}

INSTANTIATE_TEST_SUITE_P(StartUp, FaultSweep,
                         ::testing::Values(Setting{false, true, false}, Setting{false, false, false}), setting_name);
INSTANTIATE_TEST_SUITE_P(SetFilter, FaultSweep,
                         ::testing::Values(Setting{true, true, true}, Setting{true, true, false}), setting_name);

}  // namespace

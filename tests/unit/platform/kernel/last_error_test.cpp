// Every row of the last-error table against our layer: the path it names
// is taken, and the last error is what the platform leaves.
#include <gtest/gtest.h>

#include "tests/unit/platform/kernel/last_error_table.h"
#include "tests/unit/platform/kernel/test_folder.h"
#include "tests/unit/platform/user/test_window.h"

namespace {

class LastError : public KernelFolder {
  protected:
    void SetUp() override {
        KernelFolder::SetUp();
        player::install();
    }
    void TearDown() override {
        player::clear_script();
        KernelFolder::TearDown();
    }
};

TEST_F(LastError, EveryCallOnEveryPathLeavesWhatThePlatformLeaves) {
    ASSERT_TRUE(last_error::set_up());
    for (size_t i = 0; i < last_error::row_count(); ++i) {
        const last_error::Row& row = last_error::rows()[i];
        last_error::Outcome outcome = last_error::run_row(row);
        EXPECT_TRUE(outcome.path_taken) << row.call << ", " << row.path << ": the call did not take that path";
        EXPECT_EQ(outcome.error, row.expected) << row.call << ", " << row.path;
    }
    last_error::tear_down();
}

}  // namespace

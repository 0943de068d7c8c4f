// The file fixture plus the application's two arrays and a scripted
// category state lookup that records every index asked for.
#pragma once

#include <string>
#include <vector>

#include "app/list_file.h"
#include "app/state_file.h"
#include "unit/support/file_fixture.h"

inline int32_t scripted_states[64];
inline std::vector<int32_t> asked_indices;

inline int32_t scripted_state(int32_t index) {
    asked_indices.push_back(index);
    return index >= 0 && index < 64 ? scripted_states[index] : -12345;
}

class AppTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        line_array = nullptr;
        selection_array = nullptr;
        declare_selection_array();
        declare_line_array();
        set_all_states(0);
        asked_indices.clear();
    }
    void set_all_states(int32_t value) {
        for (int32_t& state : scripted_states) {
            state = value;
        }
    }
};

// A fresh window and control runtime on the headless display for each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "runtime/memory/heaps.h"
#include "runtime/ui/controls.h"
#include "runtime/ui/events.h"
#include "runtime/ui/windows.h"
#include "support/player.h"

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A window of the test's own, destroyed after the test.
    HWND make_probe(const char* class_name, DWORD style, HWND parent, intptr_t id);
    // A visible runtime window 0 with a client area of 540 x 300.
    HWND open_main_window();

    std::string class_of(HWND window);
    // Takes every queued message, and the input of every script step left,
    // through wait_event; returns the codes.
    std::vector<int32_t> drain_events();

    std::vector<HWND> probes_;
};

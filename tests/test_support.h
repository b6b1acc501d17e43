// Shared fixtures of the unit tests: a fresh program state and a view that records what the
// edit controls were given.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "charset/state.h"

namespace glyfor::testing {

class RecordingView : public TextView {
public:
    void show_text(int row, const char* text) override { shown[row] = text; }
    std::map<int, std::string> shown;
};

// Every test starts from the state of a first start, with a recording view attached.
class StateTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_state();
        text_view = &view;
    }
    void TearDown() override { text_view = nullptr; }

    static std::string slot(int index) { return text_slots[static_cast<std::size_t>(index)].data(); }

    RecordingView view;
};

}  // namespace glyfor::testing

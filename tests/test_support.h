// Shared fixtures of the unit tests: a fresh program state and an observer that records the
// texts the operations report as changed.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/state.h"

namespace glyfor::testing {

// The last text reported for each edit control; none while an operation has not reported one.
class RecordingView : public TextObserver {
  public:
    void detected_text_changed(const char* text) override { detected = text; }
    void registered_text_changed(const char* text) override { registered = text; }
    std::optional<std::string> detected;
    std::optional<std::string> registered;
};

// Every test starts from the state of a first start, with a recording view attached.
class StateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_state();
        text_observer = &view;
    }
    void TearDown() override { text_observer = nullptr; }

    static std::string slot(int index) {
        return text_slots[static_cast<std::size_t>(index)].data();
    }

    RecordingView view;
};

}  // namespace glyfor::testing

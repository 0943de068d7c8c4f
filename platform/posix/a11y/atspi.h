// AT-SPI's numbers by name: the roles, states, coordinate types, layers
// and text boundaries this provider uses, with the values of at-spi2-core's
// public constants (AtspiRole, AtspiStateType, AtspiCoordType,
// AtspiComponentLayer, AtspiTextBoundaryType, AtspiTextGranularity).
#pragma once

#include <stdint.h>

namespace a11y::atspi {

enum class Role : uint32_t {
    invalid = 0,
    alert = 2,
    check_box = 7,
    filler = 20,
    frame = 23,
    label = 29,
    panel = 39,
    push_button = 43,
    application = 75,
};

enum class State : uint32_t {
    invalid = 0,
    active = 1,
    checked = 4,
    enabled = 8,
    focusable = 11,
    focused = 12,
    modal = 16,
    sensitive = 24,
    showing = 25,
    visible = 30,
    is_default = 39,
    checkable = 41,
};
constexpr uint32_t state_count = 44;  // ATSPI_STATE_LAST_DEFINED

// A state set as GetState sends it: bit n for state n, in two 32-bit words.
using StateSet = uint64_t;
constexpr StateSet bit(State state) {
    return StateSet{1} << static_cast<uint32_t>(state);
}
constexpr bool has(StateSet set, State state) {
    return (set & bit(state)) != 0;
}

enum class CoordType : uint32_t { screen = 0, window = 1, parent = 2 };

enum class Layer : uint32_t { invalid = 0, widget = 3, window = 7 };

// GetTextAtOffset and its neighbours.
enum class TextBoundary : uint32_t {
    character = 0,
    word_start = 1,
    word_end = 2,
    sentence_start = 3,
    sentence_end = 4,
    line_start = 5,
    line_end = 6,
};

// GetStringAtOffset.
enum class TextGranularity : uint32_t { character = 0, word = 1, sentence = 2, line = 3, paragraph = 4 };

}  // namespace a11y::atspi

#pragma once
// Key codes as the handlers of the design compare them.

namespace Keys {
constexpr int Tab = 9;
constexpr int Enter = 13;
constexpr int Delete = 46;
constexpr int F5 = 116;
// The design's code of a Qt key; keys without one keep Qt's value.
int vbKeyCode(int qtKey);
} // namespace Keys

#pragma once

#include <QString>
#include <Qt>

#include <optional>

namespace keys {

// Classic key codes (45 Insert, 46 Delete, 65..90 letters, ...) for Qt keys; keys that have
// none of their own (a Cyrillic letter, a multimedia key) share 255, so that every key has one.
int classicKeyCode(int qtKey);

// The character a key types as the classic platform reports it: Ctrl with a letter types its
// control character (Ctrl+C is 3) whatever text the key event carries. None when the key
// types nothing or its character does not fit 16 bits.
std::optional<int> classicCharacter(int qtKey, Qt::KeyboardModifiers modifiers,
                                    const QString& text);

} // namespace keys

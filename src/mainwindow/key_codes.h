#pragma once

namespace keys {

// Classic key codes (45 Insert, 46 Delete, 65..90 letters, ...) for Qt keys; 0 for keys
// that have none.
int classicKeyCode(int qtKey);

} // namespace keys

#pragma once

// Classic key codes (45 Insert, 46 Delete, 65..90 letters, ...) for Qt keys; 0 for keys
// that have none.
int classicKeyCode(int qtKey);

// Classic shift state: 1 Shift, 2 Ctrl, 4 Alt.
int classicShiftState(int qtModifiers);

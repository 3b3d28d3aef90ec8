#pragma once

#include "platform/key_value.h"

#include <QString>

inline constexpr platform::KeyRoot HKEY_LOCAL_MACHINE = platform::KeyRoot::LocalMachine;

// Reads the value SubKeyRef of the key KeyName under KeyRoot into KeyVal as text; true when
// it was read. A string loses its terminating NUL; a REG_DWORD becomes "&h" and the hex
// digits of its bytes from the last, each without a leading zero, after what KeyVal held;
// any other type leaves KeyVal as it was. On failure KeyVal is "".
bool GetKeyValue(platform::KeyRoot KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal);

// Starts the System Information program, or says that it is unavailable.
void StartSysInfo();

#pragma once

#include <QString>

// The page of usage hints behind Help - Tips: 17 lines joined with CR LF.
QString TipsText();

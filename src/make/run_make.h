#pragma once

#include "make/make_options.h"

#include <cstdio>

namespace make {

// Writes the video a parsed command line asks for and returns the exit status; every
// message goes to `err`, one line each.
int runMake(const MakeOptions& options, std::FILE* in, std::FILE* err);

// The compressor table of --list-compressors.
QString compressorTable();

} // namespace make

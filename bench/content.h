#pragma once
// The bytes of a planned file: incompressible binaries with a plausible
// header, and headers, sources, HTML, XML and prose made from templates and
// a vocabulary, so that they compress about as well as real SDK text.
#include <string>

#include "bench/tree_plan.h"

// Exactly file.size bytes, the same for the same file on every run.
void MakeContent(const PlannedFile& file, std::string& out);

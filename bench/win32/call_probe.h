#pragma once
// Measures what single file-system calls cost in this Windows (Wine) world,
// in a scratch folder, so the phases of an installation can be explained by
// the calls they make. Prints "probe.<call>=<microseconds per call>" lines.
int RunCallProbe(const wchar_t* scratchFolder);

// The simulated board behind "MRVINTER.DLL": every exported entry point hands its arguments to
// DriverCall, which answers from the board state shared by all processes of the Wine prefix.
#pragma once

namespace mrvsim {

enum DriverEntry {
#define MRV_ENTRY(name, count) entry_##name,
#include "sim/driver/Entries.h"
#undef MRV_ENTRY
    entry_count
};

int DriverCall(DriverEntry entry, int count, const int* args);

}  // namespace mrvsim

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

const int kBoardUnits = 10;
const int kBoardGpis = 16;
const long kBoardMagic = 0x4d525631;

struct BoardOwner {
    unsigned pid;
    unsigned reserved;
    unsigned long long started;   // creation time: a reused process id is not the owner
};

// The board as every process of the prefix sees it: the file mapping "MrvSimBoard.<name>".
struct SharedBoard {
    long initialised;   // kBoardMagic once set up
    int values[entry_count];   // indexed by the setter's entry
    int gpi[kBoardGpis];
    BoardOwner owners[kBoardUnits];
};

int DriverCall(DriverEntry entry, int count, const int* args);

}  // namespace mrvsim

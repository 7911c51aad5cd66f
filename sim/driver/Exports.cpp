// One stdcall function per entry point; the export list (.def) decides which of them the DLL
// shows, so that a variant library can lack some.
#include "sim/driver/Driver.h"

#define MRV_PARAMS_0 void
#define MRV_PARAMS_1 int a0
#define MRV_PARAMS_2 int a0, int a1
#define MRV_PARAMS_3 int a0, int a1, int a2
#define MRV_PARAMS_4 int a0, int a1, int a2, int a3
#define MRV_PARAMS_5 int a0, int a1, int a2, int a3, int a4
#define MRV_ARGS_0
#define MRV_ARGS_1 , a0
#define MRV_ARGS_2 , a0, a1
#define MRV_ARGS_3 , a0, a1, a2
#define MRV_ARGS_4 , a0, a1, a2, a3
#define MRV_ARGS_5 , a0, a1, a2, a3, a4

#define MRV_ENTRY(name, count)                                                   \
    extern "C" int __stdcall name(MRV_PARAMS_##count)                            \
    {                                                                            \
        const int args[] = {0 MRV_ARGS_##count};                                 \
        return mrvsim::DriverCall(mrvsim::entry_##name, count, args + 1);        \
    }
#include "sim/driver/Entries.h"
#undef MRV_ENTRY

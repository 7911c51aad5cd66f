// A second process on the simulated board, for the tests of the units held per process.
//   mrvsim_driverclient <dll> hold <unit> <held event> <release event>
//       takes the unit, signals, waits for the release event (at most 120 s) and ends without
//       giving the unit back; exit code 1 when the unit was granted, 0 when not
//   mrvsim_driverclient <dll> call <entry> [<argument>...]
//       calls one entry point taking up to three arguments; the exit code is its answer
#include <windows.h>

#include <cstdlib>
#include <cstring>

typedef int(__stdcall* Entry0)();
typedef int(__stdcall* Entry1)(int);
typedef int(__stdcall* Entry2)(int, int);
typedef int(__stdcall* Entry3)(int, int, int);

int main(int argc, char** argv)
{
    if (argc < 3)
        return 100;
    HMODULE dll = LoadLibraryA(argv[1]);
    if (!dll)
        return 101;
    if (std::strcmp(argv[2], "hold") == 0 && argc == 6) {
        Entry1 reg = reinterpret_cast<Entry1>(reinterpret_cast<void*>(GetProcAddress(dll, "vdc_register")));
        if (!reg)
            return 102;
        int granted = reg(std::atoi(argv[3]));
        HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
        HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[5]);
        if (!held || !release)
            return 103;
        SetEvent(held);
        WaitForSingleObject(release, 120000);
        return granted ? 1 : 0;
    }
    if (std::strcmp(argv[2], "call") == 0 && argc >= 4 && argc <= 7) {
        FARPROC p = GetProcAddress(dll, argv[3]);
        if (!p)
            return 104;
        int a[3] = {0, 0, 0};
        for (int i = 4; i < argc; ++i)
            a[i - 4] = std::atoi(argv[i]);
        void* f = reinterpret_cast<void*>(p);
        switch (argc - 4) {
        case 0: return reinterpret_cast<Entry0>(f)();
        case 1: return reinterpret_cast<Entry1>(f)(a[0]);
        case 2: return reinterpret_cast<Entry2>(f)(a[0], a[1]);
        default: return reinterpret_cast<Entry3>(f)(a[0], a[1], a[2]);
        }
    }
    return 100;
}

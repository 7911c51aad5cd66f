// The simulated driver library: its export table, the board shared by processes, the units
// held per process, its settings and its journal.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "sim/driver/Driver.h"
#include "sim/tests/Simfiles.h"

using ::testing::ElementsAre;

namespace {

struct Named {
    const char* name;
    int count;
};
const Named kEntries[] = {
#define MRV_ENTRY(name, count) {#name, count},
#include "sim/driver/Entries.h"
#undef MRV_ENTRY
};

typedef int(__stdcall* Entry0)();
typedef int(__stdcall* Entry1)(int);
typedef int(__stdcall* Entry2)(int, int);

class Driver : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll_ = LoadLibraryA(MRVSIM_DRIVER_DLL);
        ASSERT_NE(dll_, nullptr);
    }
    void TearDown() override
    {
        if (dll_)
            FreeLibrary(dll_);
    }
    void* Find(const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll_, name)); }
    int Call(const char* name)
    {
        void* f = Find(name);
        return f ? reinterpret_cast<Entry0>(f)() : -12345;
    }
    int Call(const char* name, int a)
    {
        void* f = Find(name);
        return f ? reinterpret_cast<Entry1>(f)(a) : -12345;
    }
    int Call(const char* name, int a, int b)
    {
        void* f = Find(name);
        return f ? reinterpret_cast<Entry2>(f)(a, b) : -12345;
    }
    // Runs the helper process and returns its exit code.
    DWORD Client(const std::string& args)
    {
        PROCESS_INFORMATION pi;
        if (!Start(args, &pi))
            return 9999;
        WaitForSingleObject(pi.hProcess, 120000);
        DWORD code = 9998;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }
    bool Start(const std::string& args, PROCESS_INFORMATION* pi)
    {
        std::string line = std::string("\"") + MRVSIM_CLIENT_EXE + "\" \"" + MRVSIM_DRIVER_DLL + "\" " + args;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi) != 0;
    }

    mrvsim::SimFiles files_;
    HMODULE dll_ = nullptr;
};

TEST(DriverExports, EveryEntryPointIsExportedUndecorated)
{
    ASSERT_EQ(sizeof kEntries / sizeof kEntries[0], 159u);
    HMODULE dll = LoadLibraryA(MRVSIM_DRIVER_DLL);
    ASSERT_NE(dll, nullptr);
    for (const Named& e : kEntries)
        EXPECT_NE(GetProcAddress(dll, e.name), nullptr) << e.name;
    FreeLibrary(dll);
}

TEST(DriverExports, FoundByNameBesideTheProgram)
{
    // As the product loads it: by name through the system's library search.
    HMODULE dll = LoadLibraryA("MRVINTER.DLL");
    ASSERT_NE(dll, nullptr);
    typedef int(__stdcall * Version)();
    Version version = reinterpret_cast<Version>(reinterpret_cast<void*>(GetProcAddress(dll, "vdc_get_version")));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 0x431);
    FreeLibrary(dll);
}

TEST(DriverExports, VariantLacksTheNamedEntryPoints)
{
    HMODULE dll = LoadLibraryA(MRVSIM_MISSING_DLL);
    ASSERT_NE(dll, nullptr);
    EXPECT_EQ(GetProcAddress(dll, "vdc_key_mode_set"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "vdc_output_get_standart"), nullptr);
    int found = 0;
    for (const Named& e : kEntries)
        found += GetProcAddress(dll, e.name) != nullptr;
    EXPECT_EQ(found, 157);
    FreeLibrary(dll);
}

TEST_F(Driver, DefaultsAnswerAsTheInterfaceSays)
{
    EXPECT_EQ(Call("mrvdll_status"), 1);
    EXPECT_EQ(Call("vdc_get_version"), 0x431);
    EXPECT_EQ(Call("vdc_output_get_standart"), 0);
    EXPECT_EQ(Call("vdc_input_get_enabled_window"), 7);
    for (int unit = 0; unit < 10; ++unit)
        EXPECT_EQ(Call("vdc_is_registered", unit), 0) << unit;
    EXPECT_EQ(Call("vdc_register", 10), 0);
    EXPECT_EQ(Call("vdc_register", -1), 0);
}

TEST_F(Driver, GetsAnswerTheLastValueSet)
{
    const struct {
        const char* set;
        const char* get;
    } pairs[] = {
        {"vdc_source_a_set", "vdc_source_a_get"},       {"vdc_source_b_set", "vdc_source_b_get"},
        {"vdc_mixer_a_set", "vdc_mixer_a_get"},         {"vdc_mixer_b_set", "vdc_mixer_b_get"},
        {"vdc_mixer_blender_set", "vdc_mixer_blender_get"}, {"vdc_mixer_alpha_set", "vdc_mixer_alpha_get"},
        {"vdc_mixer_border_set", "vdc_mixer_border_get"}, {"vdc_key_off_set", "vdc_key_off_get"},
        {"vdc_key_blender_set", "vdc_key_blender_get"}, {"vdc_key_mode_set", "vdc_key_mode_get"},
        {"vdc_output_set_standart", "vdc_output_get_standart"}, {"vdc_input_set_vhue", "vdc_input_get_vhue"},
    };
    int value = 3;
    for (const auto& p : pairs) {
        Call(p.set, value);
        EXPECT_EQ(Call(p.get), value) << p.get;
        ++value;
    }
    // A pair does not leak into another one.
    EXPECT_EQ(Call("vdc_source_a_get"), 3);
    Call("vdc_input_set_enabled_window", 2, 0);
    EXPECT_EQ(Call("vdc_input_get_enabled_window"), 5);
    Call("vdc_input_set_enabled_window", 2, 1);
    EXPECT_EQ(Call("vdc_input_get_enabled_window"), 7);
}

TEST_F(Driver, BoardIsSharedWithOtherProcesses)
{
    EXPECT_EQ(Client("call vdc_mixer_blender_set 3"), 1u);
    EXPECT_EQ(Call("vdc_mixer_blender_get"), 3);
    Call("vdc_key_off_set", 6);
    EXPECT_EQ(Client("call vdc_key_off_get"), 6u);
}

TEST_F(Driver, UnitHeldByAnotherProcessIsRefusedUntilItEnds)
{
    // Ended by itself (exit code 1), killed, and killed with the code that reads as "still active".
    for (DWORD killedWith : {0u, 7u, static_cast<unsigned>(STILL_ACTIVE)}) {
        bool killed = killedWith != 0;
        std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(killedWith);
        std::string heldName = "mrvsim-held-" + tag, releaseName = "mrvsim-release-" + tag;
        HANDLE held = CreateEventA(nullptr, TRUE, FALSE, heldName.c_str());
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str());
        PROCESS_INFORMATION pi;
        ASSERT_TRUE(Start("hold 3 " + heldName + " " + releaseName, &pi));
        HANDLE both[2] = {held, pi.hProcess};
        ASSERT_EQ(WaitForMultipleObjects(2, both, FALSE, 120000), WAIT_OBJECT_0) << "helper did not take unit 3";

        EXPECT_EQ(Call("vdc_register", 3), 0);
        EXPECT_NE(Call("vdc_is_registered", 3), 0);
        EXPECT_EQ(Call("vdc_unregister", 3), 0);   // not ours to give back
        EXPECT_EQ(Call("vdc_register", 4), 1);     // the other units are free

        if (killed)
            TerminateProcess(pi.hProcess, killedWith);
        else
            SetEvent(release);
        ASSERT_EQ(WaitForSingleObject(pi.hProcess, 120000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        EXPECT_EQ(code, killed ? killedWith : 1u);
        // The process handle is still open: the ended process must not count as holder.
        EXPECT_EQ(Call("vdc_is_registered", 3), 0);
        EXPECT_EQ(Call("vdc_register", 3), 1);
        EXPECT_EQ(Call("vdc_unregister_all"), 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        CloseHandle(held);
        CloseHandle(release);
    }
}

TEST_F(Driver, UnitOfAnEndedProcessWithOurIdIsNotOurs)
{
    // Wine hands out process ids again: an ended holder may have had this process's id.
    files_.Configure("board = reused-id\n");
    EXPECT_EQ(Call("vdc_is_registered", 3), 0);   // makes the board
    HANDLE map = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "MrvSimBoard.reused-id");
    ASSERT_NE(map, nullptr);
    auto* board = static_cast<mrvsim::SharedBoard*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(board, nullptr);
    board->owners[3].pid = GetCurrentProcessId();
    board->owners[3].started = 1;   // long before this process started
    EXPECT_EQ(Call("vdc_is_registered", 3), 0);
    EXPECT_EQ(Call("vdc_unregister", 3), 0);
    EXPECT_EQ(Call("vdc_register", 3), 1);
    EXPECT_EQ(Call("vdc_is_registered", 3), 1);
    UnmapViewOfFile(board);
    CloseHandle(map);
}

TEST_F(Driver, OurUnitIsRefusedToTheOtherProcess)
{
    EXPECT_EQ(Call("vdc_register", 5), 1);
    EXPECT_EQ(Call("vdc_register", 5), 1);   // already ours
    EXPECT_EQ(Client("call vdc_register 5"), 0u);
    EXPECT_EQ(Client("call vdc_is_registered 5"), 1u);
    EXPECT_EQ(Call("vdc_unregister", 5), 1);
    EXPECT_EQ(Client("call vdc_register 5"), 1u);
}

TEST_F(Driver, SettingsChangeTheAnswers)
{
    const struct {
        const char* setting;
        const char* entry;
        int arg;   // -1: no argument
        int expected;
    } cases[] = {
        {"status = 0", "mrvdll_status", -1, 0},
        {"version = 0x432", "vdc_get_version", -1, 0x432},
        {"units.held = 1, 3", "vdc_register", 3, 0},
        {"units.held = 1, 3", "vdc_is_registered", 1, 1},
        {"units.held = 1, 3", "vdc_register", 2, 1},
        {"fail.vdc_mixer_a_get = 77", "vdc_mixer_a_get", -1, 77},
        {"fail.vdc_register = 0", "vdc_register", 0, 0},
        {"board.vdc_output_get_standart = 5\nboard = preset-standard", "vdc_output_get_standart", -1, 5},
    };
    for (const auto& c : cases) {
        files_.Configure(c.setting);
        int got = c.arg < 0 ? Call(c.entry) : Call(c.entry, c.arg);
        EXPECT_EQ(got, c.expected) << c.setting << " / " << c.entry;
    }
    files_.Configure("");
    EXPECT_EQ(Call("mrvdll_status"), 1);
}

TEST_F(Driver, BoardStartsFromItsSettingsWhateverEntryNamesThem)
{
    // Either entry of a pair names its value, also for the masks switched bit by bit.
    files_.Configure("board = preset-masks\nboard.vdc_input_get_enabled_window = 5\nboard.vdc_get_user_bits = 3\n"
                     "board.vdc_mixer_alpha_get = 1\nboard.vdc_key_off_set = 6\n");
    EXPECT_EQ(Call("vdc_input_get_enabled_window"), 5);
    EXPECT_EQ(Call("vdc_get_user_bits"), 3);
    EXPECT_EQ(Call("vdc_mixer_alpha_get"), 1);
    EXPECT_EQ(Call("vdc_key_off_get"), 6);
    Call("vdc_input_set_enabled_window", 2, 1);
    EXPECT_EQ(Call("vdc_input_get_enabled_window"), 7);
}

TEST_F(Driver, SettingsRewrittenWithinOneFileTimeTickAreSeen)
{
    // File systems with coarse time stamps give two quick rewrites of equal length the same
    // write time; the answer must still follow the second one.
    files_.Configure("version = 0x432");
    EXPECT_EQ(Call("vdc_get_version"), 0x432);
    FILETIME written = files_.ConfigWritten();
    files_.Configure("version = 0x433");
    files_.SetConfigWritten(written);
    EXPECT_EQ(Call("vdc_get_version"), 0x433);
}

TEST_F(Driver, FilesOfAnEndedProcessWithTheSameIdAreNotInherited)
{
    // An ended process with this id left its folder behind, journal and board included.
    std::string dir = mrvsim::SimFiles::NextFolder();
    CreateDirectoryA(dir.c_str(), nullptr);
    std::ofstream(dir + "\\journal.txt") << "drv 1 - vdc_register 3 = 1\n";
    std::ofstream(dir + "\\mrvsim-board-old.bin") << "stale";
    {
        mrvsim::SimFiles fresh;
        EXPECT_TRUE(fresh.Journal().empty());
        EXPECT_EQ(GetFileAttributesA((dir + "\\mrvsim-board-old.bin").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(Driver, JournalRecordsEveryCallWithItsArguments)
{
    files_.ClearJournal();
    Call("mrvdll_status");
    Call("vdc_register", 1);
    Call("vdc_input_set_enabled_window", 2, 0);
    Call("vdc_mixer_b_get");
    auto lines = files_.Journal();
    EXPECT_THAT(mrvsim::Calls(lines, "drv"),
                ElementsAre("mrvdll_status", "vdc_register 1", "vdc_input_set_enabled_window 2 0", "vdc_mixer_b_get"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].result, "1");
    EXPECT_EQ(lines[1].result, "1");
    EXPECT_EQ(lines[0].pid, GetCurrentProcessId());
    EXPECT_EQ(lines[0].object, "-");
}

}  // namespace

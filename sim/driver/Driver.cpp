#include "sim/driver/Driver.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "sim/common/Simconfig.h"
#include "sim/common/Simjournal.h"

namespace mrvsim {

namespace {

const char* const kNames[] = {
#define MRV_ENTRY(name, count) #name,
#include "sim/driver/Entries.h"
#undef MRV_ENTRY
};

const int kCounts[] = {
#define MRV_ENTRY(name, count) count,
#include "sim/driver/Entries.h"
#undef MRV_ENTRY
};

const int kUnits = kBoardUnits;
const int kGpis = kBoardGpis;
typedef BoardOwner Owner;

// Setter and getter pairs share one value: "vdc_mixer_a_set" and "vdc_mixer_a_get",
// "vdc_input_set_vhue" and "vdc_input_get_vhue".
std::string PairKey(const std::string& name)
{
    for (const char* mark : {"_set_", "_get_"}) {
        size_t at = name.find(mark);
        if (at != std::string::npos)
            return name.substr(0, at) + name.substr(at + 4);
    }
    if (name.size() > 4) {
        std::string tail = name.substr(name.size() - 4);
        if (tail == "_set" || tail == "_get")
            return name.substr(0, name.size() - 4);
    }
    return std::string();
}

bool IsSetter(int e)
{
    std::string n = kNames[e];
    return kCounts[e] == 1 && (n.find("_set_") != std::string::npos ||
                               (n.size() > 4 && n.compare(n.size() - 4, 4, "_set") == 0));
}

bool IsGetter(int e)
{
    std::string n = kNames[e];
    return kCounts[e] == 0 && (n.find("_get_") != std::string::npos ||
                               (n.size() > 4 && n.compare(n.size() - 4, 4, "_get") == 0));
}

struct Pairs {
    int slot[entry_count];   // the setter entry whose value a set or get uses, or -1
    Pairs()
    {
        std::map<std::string, int> setters;
        for (int e = 0; e < entry_count; ++e)
            if (IsSetter(e))
                setters[PairKey(kNames[e])] = e;
        for (int e = 0; e < entry_count; ++e) {
            slot[e] = -1;
            if (IsSetter(e) || IsGetter(e)) {
                auto it = setters.find(PairKey(kNames[e]));
                if (it != setters.end())
                    slot[e] = it->second;
            }
        }
    }
};

const Pairs& ThePairs()
{
    static const Pairs pairs;
    return pairs;
}

// Where an entry's value lives: the pairs, and the masks that their own entries switch.
int StorageOf(int e)
{
    switch (e) {
    case entry_vdc_input_get_enabled_window:
        return entry_vdc_input_set_enabled_window;
    case entry_vdc_get_user_bits:
    case entry_vdc_clr_user_bits:
        return entry_vdc_set_user_bits;
    default:
        return ThePairs().slot[e] >= 0 ? ThePairs().slot[e] : e;
    }
}

unsigned long long StartedOf(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

Owner Me()
{
    static const unsigned long long started = StartedOf(GetCurrentProcess());
    Owner me = {GetCurrentProcessId(), 0, started};
    return me;
}

// Wine hands out process ids again: an owner with our id but another start time has ended.
bool IsMe(const Owner& o)
{
    return o.pid == GetCurrentProcessId() && o.started == Me().started;
}

bool Alive(const Owner& o)
{
    if (o.pid == 0)
        return false;
    if (o.pid == GetCurrentProcessId())
        return IsMe(o);
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, o.pid);
    if (!h)
        return false;
    // Not the exit code: a process may end with the code that reads as still active.
    bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT && StartedOf(h) == o.started;
    CloseHandle(h);
    return alive;
}

// The board that the settings name: "board", else one per settings file, else "default".
std::string BoardKey(const Settings& s)
{
    std::string key = s.Text("board", "");
    if (!key.empty())
        return key;
    if (s.path.empty())
        return "default";
    unsigned h = 2166136261u;
    for (char c : s.path) {
        char l = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : (c == '\\' ? '/' : c);
        h = (h ^ static_cast<unsigned char>(l)) * 16777619u;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%08x", h);
    return text;
}

// A board keeps its state after the last process lets go, as hardware does: it lives in a
// file beside the settings file (or in the temporary folder without one).
std::string BoardFile(const Settings& s, const std::string& key)
{
    std::string dir;
    size_t slash = s.path.find_last_of("\\/");
    if (slash != std::string::npos) {
        dir = s.path.substr(0, slash + 1);
    } else {
        char temp[MAX_PATH];
        DWORD n = GetTempPathA(MAX_PATH, temp);
        dir = n > 0 && n < MAX_PATH ? std::string(temp, n) : std::string(".\\");
    }
    std::string name = key;
    for (char& c : name)
        if (c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            c = '_';
    return dir + "mrvsim-board-" + name + ".bin";
}

class BoardView {
public:
    // Maps the named board and takes its lock; null when the system refuses.
    SharedBoard* Enter(const Settings& s)
    {
        mutex_.lock();
        std::string key = BoardKey(s);
        if (key != key_)
            Open(key, s);
        if (!board_) {
            mutex_.unlock();
            return nullptr;
        }
        WaitForSingleObject(lock_, INFINITE);   // an abandoned lock is ours as well
        if (board_->initialised != kBoardMagic)
            Initialise(s);
        return board_;
    }
    void Leave()
    {
        ReleaseMutex(lock_);
        mutex_.unlock();
    }

private:
    void Open(const std::string& key, const Settings& s)
    {
        if (board_)
            UnmapViewOfFile(board_);
        for (HANDLE* h : {&map_, &lock_, &file_})
            if (*h && *h != INVALID_HANDLE_VALUE)
                CloseHandle(*h);
        map_ = lock_ = file_ = nullptr;
        board_ = nullptr;
        key_ = key;
        std::string name = "MrvSimBoard." + key;
        for (char& c : name)
            if (c == '\\')
                c = '/';
        lock_ = CreateMutexA(nullptr, FALSE, (name + ".lock").c_str());
        file_ = CreateFileA(BoardFile(s, key).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE || !lock_)
            return;
        map_ = CreateFileMappingA(file_, nullptr, PAGE_READWRITE, 0, sizeof(SharedBoard), name.c_str());
        if (map_)
            board_ = static_cast<SharedBoard*>(MapViewOfFile(map_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedBoard)));
    }

    void Initialise(const Settings& s)
    {
        std::memset(board_->values, 0, sizeof board_->values);
        board_->values[entry_vdc_input_set_enabled_window] = 7;
        for (int e = 0; e < entry_count; ++e) {
            std::string key = std::string("board.") + kNames[e];
            if (s.Has(key))
                board_->values[StorageOf(e)] = static_cast<int>(s.Int(key, 0));
        }
        std::memset(board_->gpi, 0, sizeof board_->gpi);
        std::memset(board_->owners, 0, sizeof board_->owners);
        board_->initialised = kBoardMagic;
    }

    std::mutex mutex_;
    std::string key_;
    HANDLE file_ = nullptr;
    HANDLE map_ = nullptr;
    HANDLE lock_ = nullptr;
    SharedBoard* board_ = nullptr;
};

BoardView& TheBoard()
{
    static BoardView view;
    return view;
}

bool ValidUnit(int unit)
{
    return unit >= 0 && unit < kUnits;
}

int Register(SharedBoard* b, const Settings& s, int unit)
{
    if (!ValidUnit(unit) || s.ListHas("units.held", unit))
        return 0;
    Owner& o = b->owners[unit];
    if (IsMe(o) || !Alive(o)) {
        o = Me();
        return 1;
    }
    return 0;
}

int Unregister(SharedBoard* b, int unit)
{
    if (!ValidUnit(unit) || !IsMe(b->owners[unit]))
        return 0;
    b->owners[unit] = Owner();
    return 1;
}

int IsRegistered(SharedBoard* b, const Settings& s, int unit)
{
    if (!ValidUnit(unit))
        return 0;
    if (s.ListHas("units.held", unit))
        return 1;
    if (!Alive(b->owners[unit])) {
        b->owners[unit] = Owner();
        return 0;
    }
    return 1;
}

int Answer(DriverEntry entry, const int* a, SharedBoard* b, const Settings& s)
{
    switch (entry) {
    case entry_mrvdll_status:
        return static_cast<int>(s.Int("status", 1));
    case entry_vdc_get_version:
        return static_cast<int>(s.Int("version", 0x431));
    case entry_vdc_register:
        return Register(b, s, a[0]);
    case entry_vdc_unregister:
        return Unregister(b, a[0]);
    case entry_vdc_is_registered:
        return IsRegistered(b, s, a[0]);
    case entry_vdc_unregister_all:
        for (int u = 0; u < kUnits; ++u)
            Unregister(b, u);
        return 1;
    case entry_vdc_set_user_bits:
        b->values[entry_vdc_set_user_bits] |= a[0];
        return 1;
    case entry_vdc_clr_user_bits:
        b->values[entry_vdc_set_user_bits] &= ~a[0];
        return 1;
    case entry_vdc_get_user_bits:
        return b->values[entry_vdc_set_user_bits];
    case entry_vdc_input_set_enabled_window: {
        int& mask = b->values[entry_vdc_input_set_enabled_window];
        mask = a[1] ? (mask | a[0]) : (mask & ~a[0]);
        return 1;
    }
    case entry_vdc_input_get_enabled_window:
        return b->values[entry_vdc_input_set_enabled_window];
    case entry_vdc_Run:
        b->values[entry_vdc_GetState] = 2;
        return 1;
    case entry_vdc_Pause:
        b->values[entry_vdc_GetState] = 1;
        return 1;
    case entry_vdc_Stop:
        b->values[entry_vdc_GetState] = 0;
        return 1;
    case entry_vdc_GetState:
        return b->values[entry_vdc_GetState];
    case entry_vdc_SetGPIValue:
        if (a[0] < 0 || a[0] >= kGpis)
            return 0;
        b->gpi[a[0]] = a[1];
        return 1;
    case entry_vdc_GetGPIValue:
        return a[0] >= 0 && a[0] < kGpis ? b->gpi[a[0]] : 0;
    default:
        break;
    }
    int slot = ThePairs().slot[entry];
    if (slot < 0)
        return 0;
    if (IsSetter(entry)) {
        b->values[slot] = a[0];
        return 1;
    }
    return b->values[slot];
}

}  // namespace

int DriverCall(DriverEntry entry, int count, const int* args)
{
    std::shared_ptr<const Settings> s = CurrentSettings();
    JournalLine line("drv", "-", kNames[entry]);
    for (int i = 0; i < count; ++i)
        line.Arg(args[i]);
    long result = 0;
    if (!s->Fails(kNames[entry], &result)) {
        BoardView& view = TheBoard();
        if (SharedBoard* b = view.Enter(*s)) {
            result = Answer(entry, args, b, *s);
            view.Leave();
        }
    }
    line.Result(result).Write();
    return static_cast<int>(result);
}

}  // namespace mrvsim

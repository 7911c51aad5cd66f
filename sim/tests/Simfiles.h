// Per-test settings file and journal: every test gets its own, so tests running side by side
// share neither settings nor the simulated board.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>

#include "sim/Journal.h"

namespace mrvsim {

class SimFiles {
public:
    SimFiles()
    {
        dir_ = Folder(++Counter());
        CreateDirectoryA(dir_.c_str(), nullptr);
        // Process ids come round again: a folder of an ended process that had this id may still
        // hold its board and journal.
        RemoveFiles();
        config_ = dir_ + "\\sim.cfg";
        journal_ = dir_ + "\\journal.txt";
        Configure("");
        SetEnvironmentVariableA("MRV_SIM_CONFIG", config_.c_str());
        SetEnvironmentVariableA("MRV_SIM_JOURNAL", journal_.c_str());
    }
    // Removes what the test left, as far as nothing holds it open (a loaded simulator may
    // still map its board file).
    ~SimFiles()
    {
        SetEnvironmentVariableA("MRV_SIM_CONFIG", nullptr);
        SetEnvironmentVariableA("MRV_SIM_JOURNAL", nullptr);
        RemoveFiles();
        RemoveDirectoryA(dir_.c_str());
    }
    // The folder that the next SimFiles of this process takes.
    static std::string NextFolder() { return Folder(Counter() + 1); }
    // Replaces the settings; the simulators see them at their next call.
    void Configure(const std::string& text)
    {
        std::ofstream out(config_.c_str(), std::ios::binary | std::ios::trunc);
        out << text;
    }
    // The settings file's write time, to imitate file systems with coarse time stamps.
    FILETIME ConfigWritten() const
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(config_.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }
    void SetConfigWritten(const FILETIME& written) const
    {
        HANDLE h = CreateFileA(config_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            SetFileTime(h, nullptr, nullptr, &written);
            CloseHandle(h);
        }
    }
    std::vector<JournalEntry> Journal() const { return ReadJournal(journal_); }
    void ClearJournal() const { DeleteFileA(journal_.c_str()); }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(Path(name).c_str(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }

private:
    static int& Counter()
    {
        static int counter = 0;
        return counter;
    }
    static std::string Folder(int n)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        return std::string(temp) + "mrvsim-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(n);
    }
    void RemoveFiles() const
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(Path(found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }

    std::string dir_, config_, journal_;
};

}  // namespace mrvsim

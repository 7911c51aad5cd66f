#include "sim/common/Simjournal.h"

#include <windows.h>

#include <cstdio>

namespace mrvsim {

std::string Narrow(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

JournalLine::JournalLine(const char* source, const std::string& object, const char* operation)
{
    char pid[32];
    std::snprintf(pid, sizeof pid, "%lu", GetCurrentProcessId());
    line_ = source;
    Add(pid);
    Add(object.empty() ? "-" : object);
    Add(operation);
}

void JournalLine::Add(const std::string& token)
{
    line_ += ' ';
    line_ += token;
}

JournalLine& JournalLine::Arg(long value)
{
    Add(std::to_string(value));
    return *this;
}

JournalLine& JournalLine::Real(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    Add(text);
    return *this;
}

JournalLine& JournalLine::Text(const std::string& value)
{
    std::string q = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\')
            q += '\\';
        if (c == '\n' || c == '\r')
            c = ' ';
        q += c;
    }
    q += '"';
    Add(q);
    return *this;
}

JournalLine& JournalLine::Text(const wchar_t* value)
{
    return Text(Narrow(value));
}

JournalLine& JournalLine::Word(const std::string& value)
{
    Add(value.empty() ? "-" : value);
    return *this;
}

JournalLine& JournalLine::Result(long value)
{
    Add("=");
    return Arg(value);
}

JournalLine& JournalLine::Hresult(long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    Add("=");
    Add(text);
    return *this;
}

JournalLine& JournalLine::Out(long value)
{
    if (!outs_)
        Add("->");
    outs_ = true;
    return Arg(value);
}

JournalLine& JournalLine::OutReal(double value)
{
    if (!outs_)
        Add("->");
    outs_ = true;
    return Real(value);
}

JournalLine& JournalLine::OutWord(const std::string& value)
{
    if (!outs_)
        Add("->");
    outs_ = true;
    return Word(value);
}

void JournalLine::Write()
{
    char path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("MRV_SIM_JOURNAL", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    // Append-only access makes every write land at the end, also with other writers.
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::string text = line_ + "\n";
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

}  // namespace mrvsim

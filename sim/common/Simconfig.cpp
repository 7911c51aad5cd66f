#include "sim/common/Simconfig.h"

#include <windows.h>

#include <cstdlib>
#include <mutex>

namespace mrvsim {

namespace {

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string EnvPath()
{
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("MRV_SIM_CONFIG", buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return std::string();
    return std::string(buffer, n);
}

void Parse(const std::string& text, Settings* s)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        s->values[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
    }
}

std::string ReadAll(const std::string& path)
{
    std::string text;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0 && text.size() < (1u << 20))
        text.append(buffer, got);
    CloseHandle(h);
    return text;
}

}  // namespace

bool ParseNumber(const std::string& text, long* value)
{
    std::string t = Trim(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    // Base 0 would read a leading 0 as octal; only 0x switches the base.
    bool neg = t[0] == '-';
    std::string digits = neg ? t.substr(1) : t;
    int base = (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) ? 16 : 10;
    unsigned long long v = std::strtoull(digits.c_str(), &end, base);
    if (end == digits.c_str() || *end != '\0')
        return false;
    // HRESULTs are written as unsigned hex: keep their 32-bit pattern.
    long r = static_cast<long>(static_cast<int>(static_cast<unsigned>(v)));
    *value = neg ? -r : r;
    return true;
}

bool Settings::Has(const std::string& key) const
{
    return values.count(key) != 0;
}

long Settings::Int(const std::string& key, long fallback) const
{
    auto it = values.find(key);
    long v;
    return it != values.end() && ParseNumber(it->second, &v) ? v : fallback;
}

double Settings::Real(const std::string& key, double fallback) const
{
    auto it = values.find(key);
    if (it == values.end())
        return fallback;
    char* end = nullptr;
    double v = std::strtod(it->second.c_str(), &end);
    return end != it->second.c_str() && *end == '\0' ? v : fallback;
}

std::string Settings::Text(const std::string& key, const std::string& fallback) const
{
    auto it = values.find(key);
    return it != values.end() ? it->second : fallback;
}

bool Settings::ListHas(const std::string& key, long number) const
{
    auto it = values.find(key);
    if (it == values.end())
        return false;
    const std::string& list = it->second;
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(',', pos);
        if (end == std::string::npos)
            end = list.size();
        long v;
        if (ParseNumber(list.substr(pos, end - pos), &v) && v == number)
            return true;
        pos = end + 1;
    }
    return false;
}

bool Settings::Fails(const std::string& operation, long* result) const
{
    auto it = values.find("fail." + operation);
    return it != values.end() && ParseNumber(it->second, result);
}

std::shared_ptr<const Settings> CurrentSettings()
{
    static std::mutex lock;
    static std::string path, text;
    static std::shared_ptr<const Settings> current = std::make_shared<Settings>();
    std::lock_guard<std::mutex> guard(lock);
    // The content decides, not the write time: coarse file times make two quick rewrites of
    // equal length look alike. The file is small; reading it per call is cheap.
    std::string now = EnvPath();
    std::string fresh = now.empty() ? std::string() : ReadAll(now);
    if (now != path || fresh != text) {
        auto made = std::make_shared<Settings>();
        made->path = now;
        Parse(fresh, made.get());
        current = made;
        path = now;
        text = fresh;
    }
    return current;
}

}  // namespace mrvsim

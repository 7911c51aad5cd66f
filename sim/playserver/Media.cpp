#include "sim/playserver/Media.h"

#include <windows.h>

#include <cstring>

namespace mrvsim {

namespace {

unsigned U32(const std::string& b, size_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(b.data()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned>(p[3]) << 24);
}

bool Is(const std::string& b, size_t at, const char* fourcc)
{
    return at + 4 <= b.size() && std::memcmp(b.data() + at, fourcc, 4) == 0;
}

struct Stream {
    bool video = false;
    unsigned scale = 0, rate = 0, length = 0;
    long width = 0, height = 0;
};

// Walks the chunks of [at, end): "hdrl" at the top (depth 0), "strl" inside it (depth 1); no
// deeper nesting is followed, so a crafted file cannot recurse without end.
void Walk(const std::string& b, size_t at, size_t end, int depth, MediaInfo* main, Stream* first, Stream* current,
          bool* found)
{
    while (at + 8 <= end && !*found) {
        size_t size = U32(b, at + 4);
        size_t body = at + 8;
        size_t next = body + size + (size & 1);
        size_t stop = body + size < end ? body + size : end;
        if (Is(b, at, "LIST") && body + 4 <= stop) {
            if (depth == 0 && Is(b, body, "hdrl")) {
                Walk(b, body + 4, stop, 1, main, first, current, found);
            } else if (depth == 1 && Is(b, body, "strl")) {
                Stream s;
                Walk(b, body + 4, stop, 2, main, first, &s, found);
                if (s.video) {
                    *first = s;
                    *found = true;
                }
            }
        } else if (Is(b, at, "avih") && body + 40 <= stop) {
            main->width = static_cast<long>(U32(b, body + 32));
            main->height = static_cast<long>(U32(b, body + 36));
        } else if (Is(b, at, "strh") && current && body + 36 <= stop) {
            current->video = Is(b, body, "vids") || Is(b, body, "iavs");
            current->scale = U32(b, body + 20);
            current->rate = U32(b, body + 24);
            current->length = U32(b, body + 32);
        } else if (Is(b, at, "strf") && current && current->video && body + 12 <= stop) {
            current->width = static_cast<long>(static_cast<int>(U32(b, body + 4)));
            long h = static_cast<long>(static_cast<int>(U32(b, body + 8)));
            current->height = h < 0 ? -h : h;   // top-down bitmaps have a negative height
        }
        if (next <= at)
            break;
        at = next;
    }
}

bool ReadStart(const std::string& path, size_t limit, std::string* bytes, bool* missing)
{
    *missing = false;
    int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], n);
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        *missing = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND;
        return false;
    }
    char buffer[65536];
    DWORD got = 0;
    while (bytes->size() < limit && ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(h);
    if (bytes->size() > limit)
        bytes->resize(limit);
    return true;
}

std::string Folder(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

MediaRead ParseAvi(const std::string& b, MediaInfo* info)
{
    if (!Is(b, 0, "RIFF") || !Is(b, 8, "AVI "))
        return MediaRead::invalid;
    MediaInfo main;
    Stream first;
    bool found = false;
    Walk(b, 12, b.size(), 0, &main, &first, nullptr, &found);
    if (!found || first.scale == 0 || first.rate == 0)
        return MediaRead::invalid;
    info->width = main.width ? main.width : first.width;
    info->height = main.height ? main.height : first.height;
    info->seconds = static_cast<double>(first.length) * first.scale / first.rate;
    info->frameRate = static_cast<double>(first.rate) / first.scale;
    return MediaRead::ok;
}

MediaRead ParseTml(const std::string& b, const std::string& projectPath, MediaInfo* info,
                   std::string* firstVideo)
{
    static const char kHeader[] = "TimeLine Project (c) Firm Halvern";   // with its NUL: 34 bytes
    const long kDayMs = 86400000;
    if (b.size() < sizeof kHeader || std::memcmp(b.data(), kHeader, sizeof kHeader) != 0)
        return MediaRead::invalid;
    firstVideo->clear();
    size_t at = sizeof kHeader;
    while (at + 8 <= b.size() && U32(b, at) != 100) {
        int size = static_cast<int>(U32(b, at + 4));
        if (size < 0)
            return MediaRead::invalid;
        at += 8 + static_cast<size_t>(size);
    }
    if (at + 8 > b.size())
        return MediaRead::invalid;
    int blockSize = static_cast<int>(U32(b, at + 4));
    if (blockSize < 0)
        return MediaRead::invalid;
    size_t end = at + 8 + static_cast<size_t>(blockSize);
    if (end > b.size())
        end = b.size();
    bool any = false;
    long first = 0, last = 0;
    for (at += 8; at + 8 <= end;) {
        unsigned tag = U32(b, at);
        int size = static_cast<int>(U32(b, at + 4));
        if (size < 0 || at + 8 + static_cast<size_t>(size) > end)
            return MediaRead::invalid;
        if (tag == 400) {
            long start = 0, stop = 0;
            std::string video;
            for (size_t c = at + 8, cend = at + 8 + size; c + 8 <= cend;) {
                unsigned t = U32(b, c);
                int n = static_cast<int>(U32(b, c + 4));
                if (n < 0 || c + 8 + static_cast<size_t>(n) > cend)
                    return MediaRead::invalid;
                if ((t == 402 || t == 403) && n == 4) {
                    // Times run from 0 to 24 hours; anything else is a broken project.
                    long v = static_cast<long>(static_cast<int>(U32(b, c + 8)));
                    if (v < 0 || v > kDayMs)
                        return MediaRead::invalid;
                    (t == 402 ? start : stop) = v;
                }
                if (t == 456 && n > 0) {
                    video.assign(b.data() + c + 8, static_cast<size_t>(n));
                    video = video.substr(0, video.find('\0'));
                }
                c += 8 + static_cast<size_t>(n);
            }
            if (stop - start >= 20) {
                first = any && first < start ? first : start;
                last = any && last > stop ? last : stop;
                any = true;
                if (firstVideo->empty() && !video.empty())
                    *firstVideo = video.size() > 1 && video[1] == ':' ? video : Folder(projectPath) + video;
            }
        }
        at += 8 + static_cast<size_t>(size);
    }
    if (!any)
        return MediaRead::invalid;
    info->seconds = (last - first) * 0.001;
    return MediaRead::ok;
}

MediaRead ReadAvi(const std::string& path, MediaInfo* info)
{
    std::string bytes;
    bool missing;
    if (!ReadStart(path, 1u << 20, &bytes, &missing))
        return missing ? MediaRead::missing : MediaRead::invalid;
    return ParseAvi(bytes, info);
}

MediaRead ReadTml(const std::string& path, MediaInfo* info, std::string* firstVideo)
{
    std::string bytes;
    bool missing;
    if (!ReadStart(path, 16u << 20, &bytes, &missing))
        return missing ? MediaRead::missing : MediaRead::invalid;
    return ParseTml(bytes, path, info, firstVideo);
}

}  // namespace mrvsim

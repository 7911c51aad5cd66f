// The Play Server's own look at media files: picture size and duration from an AVI file's
// headers, and duration and picture size of a ".tml" project.
#pragma once

#include <string>

namespace mrvsim {

struct MediaInfo {
    long width = 0;
    long height = 0;
    double seconds = 0;
    double frameRate = 0;
};

enum class MediaRead { ok, missing, invalid };

// Parses the headers in memory (the file's first bytes).
MediaRead ParseAvi(const std::string& bytes, MediaInfo* info);
// Duration from the first start to the last end of the project's clips; *firstVideo is the
// resolved name of its first video clip (empty when it has none).
MediaRead ParseTml(const std::string& bytes, const std::string& projectPath, MediaInfo* info,
                   std::string* firstVideo);

MediaRead ReadAvi(const std::string& path, MediaInfo* info);
MediaRead ReadTml(const std::string& path, MediaInfo* info, std::string* firstVideo);

}  // namespace mrvsim

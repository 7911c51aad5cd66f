#pragma once
// Builds the header part of AVI files with chosen streams and chosen faults.

#include <cstdint>
#include <string>
#include <vector>

struct AviStream {
  std::string type;  // "vids", "auds", "iavs", ...
  uint32_t scale = 1;
  uint32_t rate = 25;
  uint32_t length = 250;
  uint32_t strhSize = 56;
};

struct AviLayout {
  std::vector<AviStream> streams;
  std::string riff = "RIFF";
  std::string form = "AVI ";
  std::string hdrl = "hdrl";
  uint32_t avihSize = 56;
  bool junkBeforeStreams = false;
  int64_t hdrlSize = -1;    // -1: the true size
  int64_t firstListSize = -1;

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> streamLists;
    for (size_t i = 0; i < streams.size(); i++) {
      const AviStream& s = streams[i];
      std::vector<uint8_t> strl;
      Code(strl, "strl");
      Code(strl, "strh");
      U32(strl, s.strhSize);
      std::vector<uint8_t> strh(s.strhSize < 56 ? 56 : s.strhSize, 0);
      for (int k = 0; k < 4; k++) strh[k] = static_cast<uint8_t>(s.type[k]);
      Put(strh, 20, s.scale);
      Put(strh, 24, s.rate);
      Put(strh, 32, s.length);
      strh.resize(s.strhSize);
      strl.insert(strl.end(), strh.begin(), strh.end());
      Code(strl, "strf");
      U32(strl, 8);
      U32(strl, 0);
      U32(strl, 0);
      Code(streamLists, "LIST");
      U32(streamLists, i == 0 && firstListSize >= 0 ? static_cast<uint32_t>(firstListSize)
                                                    : static_cast<uint32_t>(strl.size()));
      streamLists.insert(streamLists.end(), strl.begin(), strl.end());
    }
    std::vector<uint8_t> hdrlList;
    Code(hdrlList, hdrl.c_str());
    Code(hdrlList, "avih");
    U32(hdrlList, avihSize);
    hdrlList.resize(hdrlList.size() + 56, 0);
    if (junkBeforeStreams) {
      Code(hdrlList, "JUNK");
      U32(hdrlList, 4);
      U32(hdrlList, 0);
    }
    hdrlList.insert(hdrlList.end(), streamLists.begin(), streamLists.end());
    std::vector<uint8_t> body;
    Code(body, form.c_str());
    Code(body, "LIST");
    U32(body, hdrlSize >= 0 ? static_cast<uint32_t>(hdrlSize) : static_cast<uint32_t>(hdrlList.size()));
    body.insert(body.end(), hdrlList.begin(), hdrlList.end());
    Code(body, "LIST");
    U32(body, 4);
    Code(body, "movi");
    std::vector<uint8_t> file;
    Code(file, riff.c_str());
    U32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
  }

  static void U32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; i++) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  static void Code(std::vector<uint8_t>& b, const char* c) { b.insert(b.end(), c, c + 4); }
  static void Put(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
};

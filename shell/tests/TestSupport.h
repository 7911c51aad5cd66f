#pragma once
// Test helpers shared by the shell's and the file object's tests: a scripted answerer in place of
// the message box, a scratch folder of the platform's own, and files written into it.

#include <cstdio>
#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/App.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mrvtest {

#ifdef _WIN32
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif

// A folder of its own for one test, removed with every file made through it.
class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int serial;
    for (;;) {
      path_ = std::string(base) + "mrv-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++serial) + "-" + std::to_string(GetTickCount());
      if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
#else
    char pattern[] = "/tmp/mrv-XXXXXX";
    path_ = mkdtemp(pattern);
#endif
  }
  ~TempDir() {
    for (auto& f : files_) std::remove(f.c_str());
#ifdef _WIN32
    RemoveDirectoryA(path_.c_str());
#else
    rmdir(path_.c_str());
#endif
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // The full name of a file in the folder; it is removed with the folder.
  std::string File(const std::string& name) {
    std::string full = path_ + kSeparator + name;
    files_.push_back(full);
    return full;
  }
  // Writes bytes to a file of the folder and returns its full name.
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string full = File(name);
    FILE* f = std::fopen(full.c_str(), "wb");
    if (f) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return full;
  }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

inline bool Exists(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

inline std::string ReadAll(const std::string& name) {
  std::string bytes;
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

inline std::string Str(aStrd v) { return std::string(v.data ? v.data : "", v.length); }

// A message as the program showed it.
struct Shown {
  std::string text, title, icon, buttons;
  bool operator==(const Shown& o) const {
    return text == o.text && title == o.title && icon == o.icon && buttons == o.buttons;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Shown& m) {
  return out << "{text \"" << m.text << "\", title \"" << m.title << "\", icon \"" << m.icon
             << "\", buttons \"" << m.buttons << "\"}";
}

// Answers every message in place of the standard message box while it lives: it is bound first
// and exclusively to "CallMessWait", records each message and gives the queued answers in turn
// (then 0, as a box closed unanswered).
class ScriptedAnswerer {
 public:
  ScriptedAnswerer() : node_(App().callMessWait.node) {
    node_->listeners.AddExclusive(&ScriptedAnswerer::Answer, this);
  }
  ~ScriptedAnswerer() { node_->listeners.Remove(&ScriptedAnswerer::Answer, this); }
  ScriptedAnswerer(const ScriptedAnswerer&) = delete;
  ScriptedAnswerer& operator=(const ScriptedAnswerer&) = delete;

  void Queue(int answer) { answers_.push_back(answer); }
  // Called once, while the next message is being answered (after it is recorded), before the
  // answer is given.
  void OnShow(void (*action)(void*), void* data) {
    action_ = action;
    actionData_ = data;
  }

  std::vector<Shown> shown;

 private:
  static void Answer(void* self, void* argument) {
    ScriptedAnswerer* a = static_cast<ScriptedAnswerer*>(self);
    aClApp& app = App();
    a->shown.push_back({Str(static_cast<aClNode*>(argument)->Text()), Str(app.messageTitle),
                        Str(app.messageIcon), Str(app.messageButtons)});
    int answer = 0;
    if (!a->answers_.empty()) {
      answer = a->answers_.front();
      a->answers_.pop_front();
    }
    if (void (*action)(void*) = a->action_) {
      a->action_ = nullptr;
      action(a->actionData_);
    }
    app.messageResult = answer;
  }

  aClNode* node_;
  std::deque<int> answers_;
  void (*action_)(void*) = nullptr;
  void* actionData_ = nullptr;
};

// No message of a unit test may reach the real message box: under a display it would wait for a
// click, and without one it answers at once and hides that a message was shown at all. Bound in
// front of the standard handler for the whole run; a ScriptedAnswerer goes in front of it.
class NoRealMessageBoxes : public ::testing::Environment {
 public:
  void SetUp() override {
    App().callMessWait.node->listeners.AddExclusive(&NoRealMessageBoxes::Refuse, this);
  }
  void TearDown() override {
    App().callMessWait.node->listeners.Remove(&NoRealMessageBoxes::Refuse, this);
  }

 private:
  static void Refuse(void*, void* argument) {
    aClApp& app = App();
    ADD_FAILURE() << "a message reached the real message box: "
                  << Shown{Str(static_cast<aClNode*>(argument)->Text()), Str(app.messageTitle),
                           Str(app.messageIcon), Str(app.messageButtons)};
    app.messageResult = 0;
  }
};

// One per test program, however many of its files include this one.
inline ::testing::Environment* const noRealMessageBoxes =
    ::testing::AddGlobalTestEnvironment(new NoRealMessageBoxes);

}  // namespace mrvtest

// The simulators' journal: one line per call, appended to the file that the environment
// variable MRV_SIM_JOURNAL names (nothing is written without it). Several processes may append
// to one file; each line is written with a single append.
//
//   <source> <pid> <object> <operation> <in arguments...> = <result> [-> <out values...>]
//
// source "ps" (Play Server) or "drv" (driver library); object the Play Server object's name
// ("server1", "tl2", "fifo1") or "-"; texts in double quotes with \" and \\ escaped.
// sim/Journal.h reads it back.
#pragma once

#include <string>

namespace mrvsim {

class JournalLine {
public:
    JournalLine(const char* source, const std::string& object, const char* operation);
    JournalLine& Arg(long value);
    JournalLine& Real(double value);
    JournalLine& Text(const std::string& value);
    JournalLine& Text(const wchar_t* value);   // a BSTR or null
    JournalLine& Word(const std::string& value);   // an unquoted token (object name, hex bytes)
    JournalLine& Result(long value);     // decimal
    JournalLine& Hresult(long value);    // 0x%08X
    JournalLine& Out(long value);
    JournalLine& OutReal(double value);
    JournalLine& OutWord(const std::string& value);
    void Write();

private:
    void Add(const std::string& token);
    std::string line_;
    bool outs_ = false;
};

// Wide text to UTF-8.
std::string Narrow(const wchar_t* text);

}  // namespace mrvsim

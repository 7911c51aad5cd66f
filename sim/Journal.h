// Reads the simulators' journal (the file named by MRV_SIM_JOURNAL) for tests:
//
//   auto lines = mrvsim::ReadJournal(path);
//   EXPECT_THAT(mrvsim::Calls(lines, "ps"), ElementsAre("GetReady", "GetBoard 0", ...));
//
// A line is  <source> <pid> <object> <operation> <in arguments...> = <result> [-> <outs...>]
// with texts in double quotes (\" and \\ escaped). Header only, standard C++ only.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace mrvsim {

struct JournalEntry {
    std::string source;    // "ps" or "drv"
    unsigned long pid = 0;
    std::string object;    // "server1", "tl2", "fifo1"; "-" for the driver
    std::string op;        // "TLineSetState", "vdc_register", "Destroy"
    std::vector<std::string> args;   // in arguments; texts without their quotes
    std::string result;    // "0x00000000" (Play Server) or a decimal number (driver)
    std::vector<std::string> outs;   // out values after "->"

    // "op arg arg": the form most assertions compare.
    std::string Call() const
    {
        std::string s = op;
        for (const std::string& a : args)
            s += " " + a;
        return s;
    }
};

// Splits at blanks; a token in double quotes keeps its blanks and loses its escapes.
inline std::vector<std::string> SplitJournalTokens(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        if (i >= line.size())
            break;
        std::string t;
        if (line[i] == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size())
                    ++i;
                t += line[i];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ')
                t += line[i++];
        }
        tokens.push_back(t);
    }
    return tokens;
}

// False for a line that is not a journal line.
inline bool ParseJournalLine(const std::string& line, JournalEntry* entry)
{
    std::vector<std::string> t = SplitJournalTokens(line);
    if (t.size() < 6)
        return false;
    JournalEntry e;
    e.source = t[0];
    e.pid = std::strtoul(t[1].c_str(), nullptr, 10);
    e.object = t[2];
    e.op = t[3];
    size_t i = 4;
    // An argument that is a quoted "=" cannot end the list: quoted texts were unquoted above,
    // so find the last "=" that is followed by the result.
    size_t eq = t.size();
    for (size_t k = 4; k + 1 < t.size(); ++k)
        if (t[k] == "=" && (k + 2 == t.size() || t[k + 2] == "->"))
            eq = k;
    if (eq == t.size())
        return false;
    for (; i < eq; ++i)
        e.args.push_back(t[i]);
    e.result = t[eq + 1];
    for (i = eq + 3; i < t.size(); ++i)
        e.outs.push_back(t[i]);
    *entry = e;
    return true;
}

inline std::vector<JournalEntry> ReadJournal(const std::string& path)
{
    std::vector<JournalEntry> entries;
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        JournalEntry e;
        if (ParseJournalLine(line, &e))
            entries.push_back(e);
    }
    return entries;
}

// The calls of one source ("ps", "drv"; empty for all) in order, as "op arg arg".
inline std::vector<std::string> Calls(const std::vector<JournalEntry>& entries, const std::string& source,
                                      const std::string& op = std::string())
{
    std::vector<std::string> calls;
    for (const JournalEntry& e : entries)
        if ((source.empty() || e.source == source) && (op.empty() || e.op == op))
            calls.push_back(e.Call());
    return calls;
}

}  // namespace mrvsim

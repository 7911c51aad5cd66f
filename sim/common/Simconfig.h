// Settings of the simulators for one process: "key = value" lines of the file that the
// environment variable MRV_SIM_CONFIG names. The file is read again whenever the variable or the
// file changes, so a test may rewrite it between calls. Keys are listed in sim/README.md.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace mrvsim {

class Settings {
public:
    bool Has(const std::string& key) const;
    long Int(const std::string& key, long fallback) const;   // decimal, 0x hex, or negative
    double Real(const std::string& key, double fallback) const;
    std::string Text(const std::string& key, const std::string& fallback) const;
    // True when the comma list under key contains the number.
    bool ListHas(const std::string& key, long number) const;
    // "fail.<operation>": the operation answers *result instead of working.
    bool Fails(const std::string& operation, long* result) const;

    std::map<std::string, std::string> values;
    std::string path;   // the file these came from, empty without MRV_SIM_CONFIG
};

// The current settings; thread-safe. The file is read at every call, parsed only when changed.
std::shared_ptr<const Settings> CurrentSettings();

// Parses one number as the settings do; false for text that is not a whole number.
bool ParseNumber(const std::string& text, long* value);

}  // namespace mrvsim

#include "shell/Language.h"

// A POSIX locale carries no telephone country code.
aStrd UserCountryCode() { return aStrd(); }

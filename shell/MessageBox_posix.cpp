#include "shell/MessageBox.h"

// Natively there is no message box: the answer is that of a box closed unanswered.
int SystemMessageBox(const char*, const char*, uint32_t) { return -1; }

// The blocking notice to the user when the plug-in cannot work as configured
// (its configuration folder or an exclusion list cannot be found or created).
#pragma once

namespace hf {

// Logs the text at level 0 and, when the process has an interactive desktop
// and the environment variable HF_NO_MESSAGEBOX is not set, shows it in a
// message box and waits until the user closes it. Tests and services set
// HF_NO_MESSAGEBOX, so they never block.
void ShowCriticalNotice(const char* text);

// True when a notice would be shown in a message box.
bool CriticalNoticeCanBlock();

}  // namespace hf

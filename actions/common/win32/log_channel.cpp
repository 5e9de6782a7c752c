// Temporary: the mailslot channel is being written; until then nothing is sent.
#include "actions/common/win32/log_channel.h"

void InitialiseLogChannel() {}
void RefreshLogSettings() {}
void StartRemoteLogChannel(const char*) {}
void SendLogRecord(const char*, const char*, const char*, int) {}

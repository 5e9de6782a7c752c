// The remote debug channel: log settings from the registry and the mailslot
// sender that turns each passed Log message into one record.
#pragma once

#include <cstdint>

// Library load: refreshes the settings, sets the record sequence counter to
// 0x100000 and installs the mailslot sender as the Log sink.
void InitialiseLogChannel();

// Re-reads the level and the on/off switch from the registry (called at the
// start of every host call).
void RefreshLogSettings();

// InitializeHandler: starts the remote channel with the module tag ("HFA").
void StartRemoteLogChannel(const char* tag);

// Builds and writes one mailslot record (tag of at least two characters,
// server "." or a domain name). Used by the Log sink and by the start-up.
void SendLogRecord(const char* tag, const char* server, const char* text, int level);

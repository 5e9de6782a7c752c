// The remote debug channel: log settings from the registry and the mailslot
// sender that turns each passed Log message into one record (layout in
// actions/common/log_record.h). Records go to "\\<server>\mailslot\<computer
// name>"; the handle, once open, is kept for every later record.
#pragma once

#include <cstdint>
#include <string>

namespace hf {

// Library load: brings the channel to its starting state (no mailslot handle,
// not disabled, no failed write), refreshes the settings, sets the record
// sequence counter to 0x100000 and installs the mailslot sender as the Log sink.
void InitialiseLogChannel();

// Re-reads the level (DWORD "Hot Folder") and the on/off switch (DWORD
// "Logging", on only when exactly 1) from "Software\Quillet\Debug", the user's
// value preferred (called at the start of every host call). A negative level
// switches logging off and gives the level |level| - 1.
void RefreshLogSettings();

// InitializeHandler: starts the remote channel with the module tag ("HFA").
// Reads the domain "RSMv3Domain" from "SOFTWARE\Vorlan" (writing "." to the
// user's hive when it is missing or empty); "DISABLERSM" in any case turns the
// channel off. Otherwise starts the sockets library and sends the two start-up
// records at level 2 with the tag and the domain as server.
void StartRemoteLogChannel(const char* tag);

// Builds and writes one mailslot record (tag of at least two characters,
// server "." or a domain name). Used by the Log sink and by the start-up.
// Sends nothing while logging is off or the channel is disabled; a record that
// cannot be written is dropped (after one reopen and retry).
void SendLogRecord(const char* tag, const char* server, const char* text, int level);

// "\\<server>\mailslot\<computer name>": where records for `server` go
// ("." is this machine; its monitor creates "\\.\mailslot\<computer name>").
std::string LogMailslotPath(const char* server);

// Closes the kept mailslot handle; the next record opens it again. Under Wine
// a mailslot stays in being while any writer holds a handle to it, so a
// reader that closes its mailslot calls this to let the name go.
void CloseLogChannelHandle();

// Library unload: removes the mailslot sender from Log and closes the handle.
void ShutdownLogChannel();

// Where the channel's own failures are reported ("*** DoMailSlotClient - ..."
// texts): the debugger output unless replaced. Returns the previous receiver.
using LogChannelDebugOutput = void (*)(const char* text);
LogChannelDebugOutput SetLogChannelDebugOutput(LogChannelDebugOutput output);

// The call that puts one record into the open mailslot handle: WriteFile
// unless replaced (tests put in a failing one to exercise the reopen-and-retry
// rule). Null restores WriteFile. Returns the previous writer.
using LogChannelWriter = bool (*)(void* mailslot, const void* bytes, unsigned long length);
LogChannelWriter SetLogChannelWriter(LogChannelWriter writer);

}  // namespace hf

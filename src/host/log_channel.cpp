// The mailslot sender behind Log, the registry-driven log settings and the
// start-up of the remote debug channel.
#include "host/log_channel.h"

#include "base/win32/windows_api.h"

#include <winsock2.h>

#include "base/log.h"
#include "base/win32/registry_access.h"
#include "base/win32/scoped_handle.h"
#include "formats/log_record.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace hf {

namespace {

constexpr char kDebugKey[] = "Software\\Quillet\\Debug";
constexpr char kLevelValue[] = "Hot Folder";
constexpr char kLoggingValue[] = "Logging";
constexpr char kDomainKey[] = "SOFTWARE\\Vorlan";
constexpr char kDomainValue[] = "RSMv3Domain";
constexpr char kLogTag[] = "QL";
constexpr char kLocalServer[] = ".";
constexpr int kInterfaceRevision = 5;
constexpr size_t kDomainLimit = 79;

std::atomic<bool> socketsStarted{false};
std::atomic<bool> channelDisabled{false};
std::atomic<bool> writeFailed{false};
std::atomic<LogChannelDebugOutput> debugOutput{nullptr};
std::atomic<LogChannelWriter> recordWriter{nullptr};

// The handle, its path, the computer name and the sequence counter belong to
// whoever holds the channel lock; one record is built and written under it.
struct ChannelState {
  std::mutex lock;
  ScopedHandle mailslot;
  std::string mailslotPath;
  char computerName[16] = {};
  uint32_t sequence = kLogSequenceStart;
};

ChannelState& Channel() {
  static ChannelState* state = new ChannelState;  // lives until the process ends
  return *state;
}

std::mutex& SocketsLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

void ReportToDebugger(const char* text) {
  if (LogChannelDebugOutput output = debugOutput.load()) {
    output(text);
  } else {
    ::OutputDebugStringA(text);
  }
}

// Starts the sockets library once; marks it started even when that fails.
// The failure is logged after the lock is let go, since Log may come back here.
void StartSockets() {
  int failure = 0;
  {
    std::lock_guard<std::mutex> hold(SocketsLock());
    if (socketsStarted.load()) return;
    WSADATA data;
    failure = ::WSAStartup(MAKEWORD(2, 0), &data);
    socketsStarted.store(true);
  }
  if (failure != 0) Log(LogLevel::kError, "DoStartup - WSAStartup failed error #%d", failure);
}

// The computer name, at most 15 characters and a NUL.
void FillComputerName(char (&name)[16]) {
  DWORD size = sizeof name;
  if (!::GetComputerNameA(name, &size)) name[0] = '\0';
  name[sizeof name - 1] = '\0';
}

std::string MailslotPath(const char* server, const char* computerName) {
  return std::string("\\\\") + (server != nullptr ? server : "") + "\\mailslot\\" + computerName;
}

HANDLE OpenMailslot(const std::string& path) {
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteRecord(HANDLE mailslot, const LogRecordBuffer& buffer, size_t length) {
  if (LogChannelWriter writer = recordWriter.load())
    return writer(mailslot, &buffer, static_cast<unsigned long>(length));
  DWORD written = 0;
  return ::WriteFile(mailslot, &buffer, static_cast<DWORD>(length), &written, nullptr) != FALSE;
}

LogRecordFields CurrentFields(ChannelState& state, int level) {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  LogRecordFields fields;
  fields.sequence = ++state.sequence;
  fields.clock.year = now.wYear;
  fields.clock.month = now.wMonth;
  fields.clock.day = now.wDay;
  fields.clock.hour = now.wHour;
  fields.clock.minute = now.wMinute;
  fields.clock.second = now.wSecond;
  fields.clock.millisecond = now.wMilliseconds;
  fields.processId = ::GetCurrentProcessId();
  fields.threadId = ::GetCurrentThreadId();
  fields.level = level;
  fields.currentLogLevel = CurrentLogLevel();
  return fields;
}

void MailslotSink(int level, const char* text) { SendLogRecord(kLogTag, kLocalServer, text, level); }

}  // namespace

void InitialiseLogChannel() {
  {
    ChannelState& state = Channel();
    std::lock_guard<std::mutex> hold(state.lock);
    state.mailslot.reset();
    state.mailslotPath.clear();
    state.sequence = kLogSequenceStart;
  }
  channelDisabled.store(false);
  writeFailed.store(false);
  RefreshLogSettings();
  SetLogSink(MailslotSink);
}

void RefreshLogSettings() {
  RegistryAccess registry;
  const DWORD level = registry.GetRegEntry(HKEY_LOCAL_MACHINE, kLevelValue, kDebugKey, DWORD{0});
  const DWORD logging = registry.GetRegEntry(HKEY_LOCAL_MACHINE, kLoggingValue, kDebugKey, DWORD{0});
  long long signedLevel = static_cast<int32_t>(level);
  bool enabled = logging == 1;
  if (signedLevel < 0) {
    enabled = false;
    signedLevel = -signedLevel - 1;  // -INT_MIN - 1 is INT_MAX: fits
  }
  SetLogSettings(static_cast<int>(signedLevel), enabled);
}

void StartRemoteLogChannel(const char* tag) {
  if (!LoggingEnabled()) {
    channelDisabled.store(true);
    writeFailed.store(true);
    return;
  }
  writeFailed.store(false);

  RegistryAccess registry;
  std::string domain = registry.GetRegEntry(HKEY_LOCAL_MACHINE, kDomainValue, kDomainKey, std::string());
  if (domain.empty()) {
    domain = kLocalServer;
    registry.SetRegEntry(HKEY_LOCAL_MACHINE, kDomainValue, kDomainKey, domain);
  } else if (domain.size() > kDomainLimit) {
    domain.resize(kDomainLimit);
  }
  if (_stricmp(domain.c_str(), "DISABLERSM") == 0) {
    channelDisabled.store(true);
    return;
  }

  StartSockets();
  const char* moduleTag = tag != nullptr ? tag : "";
  const std::string loaded = std::string("* Module ") + moduleTag + " i/f rev " + std::to_string(kInterfaceRevision) +
                             " loaded. Build date/time: " + __DATE__ + "  " + __TIME__ + "\n";
  SendLogRecord(moduleTag, domain.c_str(), loaded.c_str(), 2);
  const std::string server = "  RSM is using Domain/workgroup/local machine : \"" + domain + "\"\n";
  SendLogRecord(moduleTag, domain.c_str(), server.c_str(), 2);
}

void SendLogRecord(const char* tag, const char* server, const char* text, int level) {
  if (!LoggingEnabled()) return;
  if (!socketsStarted.load()) {
    if (channelDisabled.load()) return;
    StartSockets();
  }
  if (channelDisabled.load() || tag == nullptr || strnlen(tag, 2) < 2 || !socketsStarted.load()) return;

  ChannelState& state = Channel();
  std::lock_guard<std::mutex> hold(state.lock);
  if (state.computerName[0] == '\0') FillComputerName(state.computerName);
  if (!state.mailslot) {
    const std::string path = MailslotPath(server, state.computerName);
    state.mailslot.reset(OpenMailslot(path));
    if (!state.mailslot) return;
    state.mailslotPath = path;
  }

  LogRecordBuffer buffer;
  const size_t length = BuildLogRecord(CurrentFields(state, level), text, buffer);
  if (WriteRecord(state.mailslot.get(), buffer, length)) return;
  if (writeFailed.load()) return;

  // One reopen and one more write; after that the failure is only reported.
  // The old handle goes first: it may be what keeps a stale mailslot alive.
  state.mailslot.reset();
  state.mailslot.reset(OpenMailslot(state.mailslotPath));
  if (!state.mailslot) {
    ReportToDebugger("*** DoMailSlotClient - Cannot reopen MailSlot!\n");
    return;
  }
  if (!WriteRecord(state.mailslot.get(), buffer, length)) {
    writeFailed.store(true);
    ReportToDebugger("*** DoMailSlotClient - WriteFile failed\n");
  }
}

std::string LogMailslotPath(const char* server) {
  char computerName[16] = {};
  FillComputerName(computerName);
  return MailslotPath(server, computerName);
}

void CloseLogChannelHandle() {
  ChannelState& state = Channel();
  std::lock_guard<std::mutex> hold(state.lock);
  state.mailslot.reset();
}

void ShutdownLogChannel() {
  const LogSink previous = SetLogSink(nullptr);
  if (previous != MailslotSink) SetLogSink(previous);  // another sink stays in place
  CloseLogChannelHandle();
}

LogChannelDebugOutput SetLogChannelDebugOutput(LogChannelDebugOutput output) { return debugOutput.exchange(output); }

LogChannelWriter SetLogChannelWriter(LogChannelWriter writer) { return recordWriter.exchange(writer); }

}  // namespace hf

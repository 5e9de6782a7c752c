// A task script for tests. It is started as
//   "<script>" "<scripting folder>\<file>" "<scripting folder>"
// and does what the plan beside it says: the INI file with its own path and
// the extension ".plan", section = the file's name (or "*" for any file):
//   Record=<path>        write argc, each argument, the working folder and the
//                        show-window request (STARTF_USESHOWWINDOW set: 1/0, wShowWindow)
//   CopyAs=<name>        copy the file to <scripting folder>\<name>, one line added
//   NewName=<text>       write "NEWNAME=<text>" into newname.txt
//   NewNameFrom=<path>   copy <path> as newname.txt
//   ResourceId=<text>    write "[General]" and "ResourceID=<text>" into results.txt
//   ResultsFrom=<path>   copy <path> as results.txt
//   Reappear=1           copy the file back into the hot folder
//   MoveTo=<path>        move the file to <path>
//   Delete=1             delete the file
//   Hold=1               open the file without sharing, show a window and never end
// Exit code 0, or 2 for a wrong command line.
#include "base/win32/windows_api.h"

#include <cstdio>
#include <string>

namespace {

std::string planPath;
std::string section;

std::string Setting(const char* key) {
  char value[1024] = {};
  ::GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, planPath.c_str());
  if (value[0] == '\0') ::GetPrivateProfileStringA("*", key, "", value, sizeof value, planPath.c_str());
  return value;
}

void WriteText(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

void Record(const std::string& path, int argc, char** argv) {
  std::string text = std::to_string(argc) + "\n";
  for (int i = 0; i < argc; ++i) text += std::string(argv[i]) + "\n";
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ::GetStartupInfoA(&startup);
  text += std::string(folder) + "\n";
  text += std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? 1 : 0) + " " +
          std::to_string(startup.wShowWindow) + "\n";
  WriteText(path, text);
}

void CopyWithLine(const std::string& from, const std::string& to) {
  ::CopyFileA(from.c_str(), to.c_str(), FALSE);
  FILE* file = std::fopen(to.c_str(), "ab");
  if (file == nullptr) return;
  std::fputs("%%Scripted\n", file);
  std::fclose(file);
}

[[noreturn]] void HoldForever(const std::string& file) {
  HANDLE held = ::CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  (void)held;  // kept open until the process is ended
  HWND window = ::CreateWindowA("STATIC", "script stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
  if (window != nullptr) ::ShowWindow(window, SW_SHOW);
  for (;;) {
    MSG message;
    if (::GetMessageA(&message, nullptr, 0, 0) <= 0) ::Sleep(INFINITE);
    ::DispatchMessageA(&message);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  planPath = self;
  planPath = planPath.substr(0, planPath.rfind('.')) + ".plan";
  const std::string file = argv[1];
  const std::string folder = argv[2];
  section = file.substr(file.rfind('\\') + 1);
  const std::string hotFolder = folder.substr(0, folder.rfind('\\'));

  if (!Setting("Record").empty()) Record(Setting("Record"), argc, argv);
  if (!Setting("CopyAs").empty()) CopyWithLine(file, folder + "\\" + Setting("CopyAs"));
  if (!Setting("NewName").empty()) WriteText(folder + "\\newname.txt", "NEWNAME=" + Setting("NewName") + "\r\n");
  if (!Setting("NewNameFrom").empty())
    ::CopyFileA(Setting("NewNameFrom").c_str(), (folder + "\\newname.txt").c_str(), FALSE);
  if (!Setting("ResourceId").empty())
    WriteText(folder + "\\results.txt", "[General]\r\nResourceID=" + Setting("ResourceId") + "\r\n");
  if (!Setting("ResultsFrom").empty())
    ::CopyFileA(Setting("ResultsFrom").c_str(), (folder + "\\results.txt").c_str(), FALSE);
  if (!Setting("Reappear").empty()) ::CopyFileA(file.c_str(), (hotFolder + "\\" + section).c_str(), FALSE);
  if (!Setting("MoveTo").empty()) ::MoveFileA(file.c_str(), Setting("MoveTo").c_str());
  if (!Setting("Delete").empty()) ::DeleteFileA(file.c_str());
  if (!Setting("Hold").empty()) HoldForever(file);
  return 0;
}

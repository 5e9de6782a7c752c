// hfhost: stand-in for the workflow host. Loads the plug-in DLL and drives its
// selectors as the host does, printing what the plug-in hands back.
#include "tools/hfhost/host_options.h"
#include "tools/hfhost/host_session.h"
#include "tools/hfhost/probe.h"

#include <cstdio>

using namespace hf;

int main(int argc, char** argv) {
  HostOptions options = ParseHostArguments(argc, argv);
  switch (options.command) {
    case HostCommand::Help: std::fputs(HostUsageText(), stdout); return 0;
    case HostCommand::Probe: return RunProbe(options.dllPath);
    case HostCommand::Run: return RunHotFolders(options);
    case HostCommand::Invalid: break;
  }
  std::fprintf(stderr, "hfhost: %s\n\n%s", options.error.c_str(), HostUsageText());
  return 3;
}

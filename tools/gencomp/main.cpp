// ZoRidaziviv.exe: the thumbnail application's group composite
// (tools/pictures/gencomp_run.h). It runs detached, without a console: every
// problem is also appended to "gencomp.log" beside the group file.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/path_utils.h"
#include "tools/pictures/gencomp_run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::ostringstream errors;
  const int status = hf::RunGencomp(arguments, hf::HostProgramFolder(), errors);
  const std::string text = errors.str();
  if (!text.empty()) {
    std::cerr << text;
    if (arguments.size() == 2) {
      const std::string folder = hf::ParentFolder(arguments[1]);
      const char separator = folder.find('\\') == std::string::npos && !folder.empty() ? '/' : '\\';
      const std::string log = folder.empty() ? "gencomp.log" : folder + separator + "gencomp.log";
      std::ofstream(log, std::ios::app) << text;
    }
  }
  return status;
}

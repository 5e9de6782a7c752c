// Parsing of hfhost's command line.
#include "tools/hfhost/host_options.h"

#include <string_view>

namespace hf {

namespace {

constexpr size_t kTaskTextLimit = 97;  // a 98-byte task text holds 97 characters and a NUL

// A whole decimal number from `minimum` to `maximum`.
bool ParseNumber(std::string_view text, uint32_t minimum, uint32_t maximum, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (number < minimum || number > maximum) return false;
  value = static_cast<uint32_t>(number);
  return true;
}

class ArgumentReader {
 public:
  ArgumentReader(int argc, const char* const* argv, HostOptions& options)
      : argc_(argc), argv_(argv), options_(options) {}

  // The value after the option at `index`; false (with the error set) when there is none.
  bool Value(int& index, std::string_view option, std::string& value) {
    if (index + 1 >= argc_) return Fail(std::string(option) + " needs a value");
    value = argv_[++index];
    return true;
  }

  bool Number(int& index, std::string_view option, uint32_t minimum, uint32_t maximum, uint32_t& value) {
    std::string text;
    if (!Value(index, option, text)) return false;
    if (!ParseNumber(text, minimum, maximum, value)) {
      return Fail(std::string(option) + " needs a whole number from " + std::to_string(minimum) + " to " +
                  std::to_string(maximum) + ", not \"" + text + "\"");
    }
    return true;
  }

  bool TaskText(int& index, std::string_view option, std::string& value) {
    if (!Value(index, option, value)) return false;
    if (value.empty()) return Fail(std::string(option) + " needs a name");
    if (value.size() > kTaskTextLimit) {
      return Fail(std::string(option) + " name is longer than " + std::to_string(kTaskTextLimit) + " characters");
    }
    return true;
  }

  bool Fail(std::string error) {
    options_.command = HostCommand::Invalid;
    options_.error = std::move(error);
    return false;
  }

 private:
  int argc_;
  const char* const* argv_;
  HostOptions& options_;
};

}  // namespace

HostOptions ParseHostArguments(int argc, const char* const* argv) {
  HostOptions options;
  if (argc < 2) {
    options.error = "no command given";
    return options;
  }
  ArgumentReader reader(argc, argv, options);
  bool probe = false;
  std::string source;
  std::string destination;
  bool haveSource = false;
  bool haveDestination = false;
  std::vector<TaskFolders> extraTasks;

  for (int i = 1; i < argc; ++i) {
    std::string_view argument = argv[i];
    bool ok = true;
    if (argument == "--help" || argument == "-h" || argument == "/?") {
      options.command = HostCommand::Help;
      return options;
    } else if (argument == "--probe") {
      ok = reader.Value(i, argument, options.dllPath);
      probe = true;
    } else if (argument == "--dll") {
      ok = reader.Value(i, argument, options.dllPath);
    } else if (argument == "--source") {
      ok = reader.Value(i, argument, source);
      haveSource = ok;
      if (ok && source.empty()) ok = reader.Fail("--source needs a folder");
    } else if (argument == "--dest") {
      ok = reader.Value(i, argument, destination);
      haveDestination = ok;
      if (ok && destination.empty()) ok = reader.Fail("--dest needs a folder");
    } else if (argument == "--task") {
      std::string value;
      TaskFolders folders;
      std::string error;
      ok = reader.Value(i, argument, value);
      if (ok && !SplitTaskArgument(value, folders, error)) ok = reader.Fail(error);
      if (ok) extraTasks.push_back(folders);
    } else if (argument == "--scan-seconds") {
      ok = reader.Number(i, argument, 1, 86400, options.scanSeconds);
    } else if (argument == "--poll-ms") {
      ok = reader.Number(i, argument, 1, 600000, options.pollMs);
    } else if (argument == "--grouping") {
      ok = reader.TaskText(i, argument, options.groupingTemplate);
    } else if (argument == "--script") {
      ok = reader.TaskText(i, argument, options.scriptName);
    } else if (argument == "--thumbnails") {
      options.thumbnails = true;
    } else if (argument == "--data-folder") {
      ok = reader.Value(i, argument, options.dataFolder);
      if (ok && options.dataFolder.empty()) ok = reader.Fail("--data-folder needs a folder");
    } else if (argument == "--ini") {
      ok = reader.Value(i, argument, options.iniFile);
      if (ok && options.iniFile.empty()) ok = reader.Fail("--ini needs a file");
    } else if (argument == "--json") {
      options.json = true;
    } else if (argument == "--exit-after-idle") {
      ok = reader.Number(i, argument, 1, 86400 * 365, options.exitAfterIdleSeconds);
    } else if (argument == "--max-files") {
      ok = reader.Number(i, argument, 1, 0x7FFFFFFF, options.maxFiles);
    } else {
      ok = reader.Fail("unknown argument: " + std::string(argument));
    }
    if (!ok) return options;
  }

  if (haveDestination && !haveSource) {
    reader.Fail("--dest needs --source");
    return options;
  }
  if (haveSource) options.tasks.push_back(TaskFolders{source, destination});
  options.tasks.insert(options.tasks.end(), extraTasks.begin(), extraTasks.end());

  if (probe) {
    if (!options.tasks.empty()) {
      reader.Fail("--probe does not take tasks");
      return options;
    }
    options.command = HostCommand::Probe;
    return options;
  }
  if (options.tasks.empty()) {
    reader.Fail("no hot folder given (--source DIR or --task SRC[:DEST])");
    return options;
  }
  options.command = HostCommand::Run;
  return options;
}

const char* HostUsageText() {
  return "Usage: hfhost --probe DLL\n"
         "       hfhost --source DIR [--dest DIR] [options]\n"
         "       hfhost --task SRC[:DEST] [--task SRC[:DEST] ...] [options]\n"
         "       hfhost --help\n"
         "\n"
         "Stand-in for the workflow host of the Hot Folder action plug-in.\n"
         "\n"
         "  --probe DLL          load the plug-in, call GetVersion, GetCaps, InitializeHandler,\n"
         "                       GetVersion and GetCaps again, and ShutdownHandler, and print\n"
         "                       each result with the block fields the call wrote\n"
         "\n"
         "Running hot folders: the plug-in watches each source folder and every file it\n"
         "hands over is printed (and moved into the destination folder when one is given).\n"
         "  --source DIR         a hot folder to watch (one task)\n"
         "  --dest DIR           its destination folder\n"
         "  --task SRC[:DEST]    one more task; may be repeated. The value is split at the\n"
         "                       first ':' that is not a drive colon (a ':' after a single\n"
         "                       letter at the start of a path, followed by '\\', '/' or the\n"
         "                       end): \"C:\\in:D:\\out\", \"/work/in:/work/out\", \"C:\\in\".\n"
         "                       Write a one-letter relative folder as \".\\a\"; a folder\n"
         "                       with ':' in its name goes with --source and --dest.\n"
         "  --dll PATH           the plug-in (default: hotfolder.dll beside hfhost.exe)\n"
         "  --scan-seconds N     scan interval passed to each task (default 5; the plug-in\n"
         "                       keeps its interval, at least 5 seconds, for smaller values)\n"
         "  --poll-ms N          how often each task is asked for files (default 500)\n"
         "  --grouping NAME      group separations with the filename scheme template NAME\n"
         "                       (Config\\FilenameSetups\\NAME.fns beside hfhost.exe)\n"
         "  --script NAME        run the script Config\\Scripts\\NAME on each arriving file\n"
         "  --thumbnails         make previews and thumbnails in htdocs\\Thumbnails beside\n"
         "                       hfhost.exe, shown by index.html there; a prevgen.exe beside\n"
         "                       hfhost.exe is copied to VEZ\\bin\\ where the plug-in finds it\n"
         "  --data-folder DIR    the host's data folder; the plug-in keeps its exclusion\n"
         "                       lists in DIR\\Config (default: the folder of hfhost.exe)\n"
         "  --ini FILE           the host's INI file (section HFA holds the plug-in's settings)\n"
         "  --json               print one JSON object per line instead of text\n"
         "  --exit-after-idle S  stop when no file has arrived for S seconds\n"
         "  --max-files N        stop once N files have been handed over\n"
         "  --help               show this text\n"
         "\n"
         "Folders may be given in Windows form or, under Wine, as Linux paths (\"/work/in\").\n"
         "Ctrl+C ends every task and shuts the plug-in down.\n"
         "\n"
         "Exit status: 0 when the plug-in initialised and shut down, 1 when a call\n"
         "failed, 2 when the plug-in could not be loaded, 3 for a bad command line.\n";
}

}  // namespace hf

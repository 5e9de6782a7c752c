// The host's side of the hot folder end-to-end tests.
#include "tests/support/win32/hot_folder_session.h"

#include "base/file_io.h"
#include "base/path_utils.h"
#include "base/win32/scoped_handle.h"
#include "grouping/group_document.h"
#include "tests/support/win32/block_offsets.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hf::hot_folder_e2e {

namespace {

std::string TextAt(const uint8_t* base, size_t offset, size_t width) {
  const char* text = reinterpret_cast<const char*>(base + offset);
  return std::string(text, strnlen(text, width));
}

template <typename T>
T ValueAt(const uint8_t* base, size_t offset) {
  T value;
  std::memcpy(&value, base + offset, sizeof value);
  return value;
}

CIniDocument LoadGroup(const FileRecord& record) {
  CIniDocument document;
  EXPECT_TRUE(document.Load(record.folder + record.fileName)) << record.folder + record.fileName;
  return document;
}

MailslotReader* reader = nullptr;

class ReaderEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { reader = new MailslotReader(); }
  void TearDown() override {
    delete reader;
    reader = nullptr;
  }
};

const ::testing::Environment* const kReaderEnvironment = ::testing::AddGlobalTestEnvironment(new ReaderEnvironment);

}  // namespace

std::vector<FileRecord> ReadFileList(const RawBlock& block) {
  using namespace file_record;
  std::vector<FileRecord> records;
  for (auto* at = static_cast<uint8_t*>(block.Pointer(block::kFileList)); at != nullptr && records.size() < 1000;
       at = static_cast<uint8_t*>(ValueAt<void*>(at, kNext))) {
    records.push_back(
        FileRecord{at, TextAt(at, kFolder, 260), TextAt(at, kFileName, 260), TextAt(at, kTitle, 132),
                   TextAt(at, kOwner, 132), ValueAt<uint64_t>(at, kFileSize), ValueAt<uint32_t>(at, kJobType),
                   ValueAt<uint32_t>(at, kGroupMember), ValueAt<uint32_t>(at, kColourType),
                   ValueAt<uint32_t>(at, kSafeToDelete), ValueAt<void*>(at, kNext), ValueAt<void*>(at, kPrevious),
                   ValueAt<uint32_t>(at, kItemFlags), TextAt(at, kUniqueId, 128), TextAt(at, kIntakeFailureText, 260)});
  }
  const uint32_t marked = 1;
  for (const FileRecord& r : records) std::memcpy(const_cast<uint8_t*>(r.address) + kSafeToDelete, &marked, 4);
  return records;
}

std::vector<std::string> NamesOf(const std::vector<FileRecord>& records) {
  std::vector<std::string> names;
  for (const FileRecord& r : records) names.push_back(r.fileName);
  std::sort(names.begin(), names.end());
  return names;
}

MailslotReader* Reader() { return reader; }

LogMessages ReceivedMessages() {
  LogMessages messages;
  if (reader == nullptr) return messages;
  EXPECT_TRUE(reader->Sync());
  for (const LogRecord& record : reader->Drain()) {
    // The text after its time, id and level prefixes.
    size_t at = 0;
    for (int spaces = 0; spaces < 3 && at != std::string::npos; ++spaces)
      if ((at = record.text.find(' ', at)) != std::string::npos) ++at;
    messages.emplace_back(record.level, at == std::string::npos ? std::string() : record.text.substr(at));
  }
  return messages;
}

int CountMessages(const LogMessages& messages, int level, const std::string& text) {
  return static_cast<int>(std::count(messages.begin(), messages.end(), std::make_pair(level, text)));
}

void ExpectMessages(const LogMessages& messages, const LogMessages& wanted) {
  for (const auto& [level, text] : wanted) EXPECT_TRUE(HasMessage(messages, level, text)) << level << " " << text;
}

bool HasMessageStarting(const LogMessages& messages, int level, const std::string& start, const std::string& part) {
  for (const auto& message : messages)
    if ((level < 0 || message.first == level) && message.second.rfind(start, 0) == 0 &&
        message.second.find(part, start.size()) != std::string::npos)
      return true;
  return false;
}

std::string PostScriptJob(const std::string& title, const std::string& owner, size_t bodyLines) {
  std::string text = "%!PS-Adobe-3.0\n%%Title: " + title + "\n%%For: " + owner + "\n%%EndComments\n";
  for (size_t line = 0; line < bodyLines; ++line)
    text += "newpath 0 0 moveto " + std::to_string(line) + " 0 lineto stroke\n";
  return text + "showpage\n%%EOF\n";
}

std::string ShippedFile(const std::string& name) {
  std::string text;
  EXPECT_TRUE(ReadBytes(std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + name, text)) << name;
  return text;
}

std::string GroupText(const FileRecord& record, const char* section, const char* key) {
  return LoadGroup(record).GetValue(section, key, "<missing>");
}

void ExpectGroupArrived(const FileRecord& record, const std::string& destination, const std::string& hot,
                        std::vector<std::string> members) {
  EXPECT_EQ(record.folder, destination);
  EXPECT_EQ(record.jobType, kFileGroupListType);
  EXPECT_EQ(record.groupMember, 1u);
  ASSERT_GE(record.fileName.size(), 4u);
  EXPECT_EQ(record.fileName.substr(record.fileName.size() - 4), ".fgl");
  const std::string stem = record.fileName.substr(0, record.fileName.size() - 4);
  CIniDocument document = LoadGroup(record);
  EXPECT_EQ(document.GetValue("FileGroupInfo", "FolderPath", "<missing>"), destination + stem);
  std::vector<std::string> listed = CGroupDocumentReader(document).GetFileInfoNames();
  std::sort(listed.begin(), listed.end());
  std::sort(members.begin(), members.end());
  EXPECT_EQ(listed, members) << record.fileName;
  EXPECT_EQ(FileNamesIn(destination + stem), members) << record.fileName;
  for (const std::string& member : members)
    EXPECT_EQ(BytesOf(destination + stem + "\\" + member), TiffBytes(member)) << member;
  EXPECT_FALSE(FileIsThere(hot + record.fileName));
  EXPECT_FALSE(FolderExists(hot + stem));
}

ProgramConfig::ProgramConfig() {
  putAside_ = ::MoveFileA(config_.c_str(), (config_ + ".aside").c_str()) != FALSE;
  ::CreateDirectoryA(config_.c_str(), nullptr);
  ::CreateDirectoryA((config_ + "\\FilenameSetups").c_str(), nullptr);
}

ProgramConfig::~ProgramConfig() {
  RemoveTree(config_);
  if (putAside_) ::MoveFileA((config_ + ".aside").c_str(), config_.c_str());
}

void ProgramConfig::WriteTemplate(const std::string& name, const std::string& shipped, int timeout, int closeOnCount,
                                  int count) {
  CIniDocument document;
  document.LoadFromBuffer(ShippedFile(shipped + ".fns"));
  document.SetValue("GroupId", "SEP_GROUP_TIMEOUT_SECONDS", std::to_string(timeout));
  document.SetValue("GroupId", "SEP_GROUP_CLOSE_ON_FILECOUNT", std::to_string(closeOnCount));
  document.SetValue("GroupId", "SEP_GROUP_CLOSE_FILECOUNT", std::to_string(count));
  EXPECT_TRUE(WriteBytes(PathOf(name + ".fns"), document.SaveToBuffer()));
}

void HotFolderTest::SetUp() {
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(reader->ok()) << reader->error();
  ASSERT_TRUE(dll.loaded()) << dll.loadError();
  ASSERT_TRUE(scratch.ok());
  scratch.MakeSubfolder("data");  // the host's data folder exists
  reader->Drain();
}

void HotFolderTest::TearDown() {
  if (initialised) Shutdown();
}

int32_t HotFolderTest::Initialise(int fileLoopLimit) {
  init = RawBlock::Default();
  init.SetPointer(block::kDataFolder, dataFolder.c_str());
  if (fileLoopLimit > 0) {
    EXPECT_TRUE(WriteBytes(iniPath, "[HFA]\r\nFileLoopLimit=" + std::to_string(fileLoopLimit) + "\r\n"));
    std::snprintf(iniDescriptor.path, sizeof iniDescriptor.path, "%s", iniPath.c_str());
    init.SetPointer(block::kIniFile, &iniDescriptor);
  }
  int32_t result = dll.Call(kInitializeHandler, init);
  initialised = result == 0;
  return result;
}

int32_t HotFolderTest::Shutdown() {
  RawBlock block = RawBlock::Default();
  initialised = false;
  return dll.Call(kShutdownHandler, block);
}

RawBlock& HotFolderTest::NewTask(const std::string& source, const std::string& destination) {
  RawBlock& task = tasks.emplace_back(RawBlock::Default());
  task.SetU32(block::kScanTimeout, kShortScanTimeout);
  task.SetText(block::kSourceFolder, source);
  task.SetText(block::kDestinationFolder, destination);
  EXPECT_EQ(dll.Call(kStartActionInit, task), 0);
  EXPECT_EQ(dll.Call(kCheckActionInit, task), 0);
  return task;
}

RawBlock& HotFolderTest::StartTask(const std::string& source, const std::string& destination) {
  RawBlock& task = NewTask(source, destination);
  EXPECT_EQ(dll.Call(kStartAction, task), 0) << task.MessageText();
  return task;
}

RawBlock& HotFolderTest::StartGroupingTask(const std::string& source, const std::string& destination,
                                           const std::string& templateName, bool thumbnails) {
  RawBlock& task = NewTask(source, destination);
  const size_t settings = block::kTaskSettings.offset;
  task.data()[settings + block::kGroupingEnabledInRecord] = 1;
  task.data()[settings + block::kThumbnailsEnabledInRecord] = thumbnails ? 1 : 0;
  std::memcpy(task.data() + block::kTaskText.offset, templateName.c_str(), templateName.size() + 1);
  EXPECT_EQ(dll.Call(kStartAction, task), 0) << task.MessageText();
  return task;
}

int32_t HotFolderTest::GetActionStatus(RawBlock& task, int32_t itemNumber) {
  task.SetI32(block::kItemNumber, itemNumber);
  return dll.Call(kGetActionStatus, task);
}

std::vector<FileRecord> HotFolderTest::CollectRecords(RawBlock& task, size_t count, DWORD limitMs) {
  std::vector<FileRecord> records;
  for (const DWORD started = ::GetTickCount(); records.size() < count && ::GetTickCount() - started < limitMs;) {
    const int32_t result = GetActionStatus(task);
    if (result == 0) {
      std::vector<FileRecord> more = ReadFileList(task);
      records.insert(records.end(), more.begin(), more.end());
      continue;
    }
    EXPECT_EQ(result, 1) << task.MessageText();
    if (result != 1) break;
    ::Sleep(50);
  }
  return records;
}

bool HotFolderTest::ScanOnceAndEnd() {
  reader->Drain();
  ScopedHandle wake(::OpenEventA(EVENT_MODIFY_STATE, FALSE, "QuilletHotFolder"));
  return wake && ::SetEvent(wake.get()) && WaitForLog("Event completed. Exiting scan thread");
}

}  // namespace hf::hot_folder_e2e

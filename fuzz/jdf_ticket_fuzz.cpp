// Fuzzes the JDF ticket reader: text decoding, the parse and the run-list walk.
// Every sub-job must have copies, the walk must leave the cursor at the top
// level, and a second read of the same bytes must give the same sub-jobs.
#include "formats/jdf_ticket.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace hf;

namespace {

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0x9F; }

bool SameSubJobs(const JdfSubJobMap& a, const JdfSubJobMap& b) {
  if (a.size() != b.size()) return false;
  for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y)
    if (x->first != y->first || x->second.file != y->second.file || x->second.pageRange != y->second.pageRange ||
        x->second.copyCount != y->second.copyCount)
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  JdfTicket ticket;
  std::string error;
  if (!ReadJdfTicket(bytes, IsLeadByte, ticket, error)) {
    if (error.empty() || !ticket.subJobs.empty()) std::abort();
    return 0;
  }
  for (const auto& [run, subJob] : ticket.subJobs) {
    if (subJob.copyCount.empty()) std::abort();
    JdfReferencedPath("C:\\hot\\", subJob.file);
  }
  JdfTicket again;
  if (!ReadJdfTicket(bytes, IsLeadByte, again, error) || !SameSubJobs(ticket.subJobs, again.subJobs)) std::abort();

  // The walk from a parsed document ends where it began: at the top level.
  std::string text;
  CMarkup markup;
  if (JdfTicketText(bytes, text, error) && markup.SetDocument(text)) {
    JdfTicket walked;
    CollectRunLists(markup, walked);
    if (markup.LeaveElement()) std::abort();
  }
  JdfUrlToPath(bytes);
  return 0;
}

// JDF job tickets as the intake reads them: the ticket's bytes to text, the
// walk that gathers the run lists into sub-jobs ordered by run number, and the
// FileSpec URL to path rule. Nothing here touches the file system.
#pragma once

#include "formats/markup.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace hf {

// One run list entry that names copies.
struct JdfSubJob {
  std::string file;       // from the FileSpec URL below or after it (JdfUrlToPath); empty when none
  std::string pageRange;  // the RunList's Pages, as written ("0 ~ 3", "0~-1")
  std::string copyCount;  // the RunList's DocCopies, as written
};

// Sub-jobs by run number, ascending.
using JdfSubJobMap = std::map<int32_t, JdfSubJob>;

// What the walk gathers from one ticket.
struct JdfTicket {
  JdfSubJobMap subJobs;
  std::string custom1;  // DescriptiveName of the last JDF element visited
  std::string custom2;  // ID of the last JDF element visited
};

// The ticket's bytes as text for CMarkup:
//   - UTF-16 (byte-order mark FF FE, little-endian, or FE FF, big-endian) is
//     converted to UTF-8; an odd byte count or an unpaired surrogate fails;
//   - a UTF-8 byte-order mark is dropped;
//   - anything else is taken as it is (UTF-8 or the ANSI code page).
// Returns false with `error` set ("File is empty", "Error converting XML file").
bool JdfTicketText(std::string_view bytes, std::string& text, std::string& error);

// Reads a ticket: JdfTicketText, CMarkup (with `isLeadByte` for text that is
// not UTF-8) and CollectRunLists from the top level. Returns false with
// `error` set when the bytes do not convert or do not parse ("Error processing
// settings: <parser message>").
bool ReadJdfTicket(std::string_view bytes, LeadByteTest isLeadByte, JdfTicket& ticket, std::string& error);

// Walks the elements from the cursor's level down, in document order. Tag
// names compare without regard to case and without a namespace prefix
// ("jdf:RunList" is a RunList); attribute names compare exactly.
//   - RunList with a DocCopies that is not empty: a sub-job (copies, Pages, no
//     file) stored under the leading integer of Run (0 when Run does not start
//     with one), replacing an earlier one of that number; it becomes the
//     current sub-job of its level and of the levels below it.
//   - FileSpec: when there is a current sub-job, its file = JdfUrlToPath(URL).
//   - JDF: custom1 = DescriptiveName, custom2 = ID.
// A sub-job made below an element does not become current at the element's
// level, so a FileSpec after a RunList without DocCopies fills the previous
// sub-job of that level. The walk keeps its own stack: any depth is read. The
// cursor ends at the level it started from.
void CollectRunLists(CMarkup& markup, JdfTicket& ticket);

// The path a FileSpec URL names:
//   file:///C:/dir/a%20b.pdf     -> C:\dir\a b.pdf
//   file://localhost/C:/a.pdf    -> C:\a.pdf
//   file://server/share/a.pdf    -> \\server\share\a.pdf
//   file:/C:/a.pdf, file:C:/a.pdf -> C:\a.pdf
//   sub/a.pdf                    -> sub\a.pdf (relative: see JdfReferencedPath)
// "file:" is matched without regard to case; "%XX" (two hex digits) is
// decoded, any other "%" and "%00" stay; slashes become backslashes. Decoded bytes that
// are UTF-8 (as URLs escape them) are converted to the ANSI code page.
std::string JdfUrlToPath(std::string_view url);

// A value read from the ticket in the ANSI code page: text that holds UTF-8
// sequences is converted, anything else (ASCII, text already in the code
// page) is kept as it is.
std::string JdfValueToAnsi(const std::string& value);

// The path of a referenced file: an absolute path ("X:\...", "\\server\...")
// as it is, a relative one joined to the ticket's folder ("." and ".."
// resolved), the way a ticket's own references are meant.
std::string JdfReferencedPath(const std::string& ticketFolder, const std::string& file);

}  // namespace hf

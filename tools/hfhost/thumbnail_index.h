// The page hfhost writes into the thumbnail folder (index.html): one row per
// handed-over job with its preview, and per group with its composite. Pure
// text building, so that the escaping and the rows can be tested anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hf {

// One handed-over job (or group file) as the page shows it. Texts are UTF-8.
struct ThumbnailIndexRow {
  std::string name;        // the file name the job arrived under
  std::string jobType;     // its type by name ("PostScript", "FileGroupList", ...)
  uint64_t size = 0;       // bytes
  std::string resourceId;  // names its folder in the thumbnail folder
  bool group = false;      // a group file: the picture is its composite
  std::string picture;     // relative to the page, '/' between parts ("1f2e/1f2e.png"); empty: none yet
};

// Text for HTML content and quoted attribute values: & < > " ' become
// &amp; &lt; &gt; &quot; &#39;. A NUL becomes U+FFFD (&#xFFFD;); other bytes
// stay as they are.
std::string HtmlEscape(std::string_view text);

// A relative URL path: every byte outside A-Z a-z 0-9 - . _ ~ and '/' becomes %XX
// (upper-case hex), so that '#', '?', '%', blanks and non-ASCII names still
// resolve to the file. "a b/#1.png" -> "a%20b/%231.png".
std::string UrlPathEscape(std::string_view path);

// The whole page: a table with the newest row first, one <tr> per row:
//   <tr><td><img src="R/R.png" alt="preview of NAME"></td><td>NAME</td><td>TYPE</td>
//       <td>SIZE bytes</td><td>R</td></tr>
// (a group's picture is "composite of NAME"; a missing picture reads
// "no preview yet" or "no composite yet"). The page reloads itself every
// `refreshSeconds` (0: never).
std::string ThumbnailIndexPage(const std::vector<ThumbnailIndexRow>& rows, unsigned refreshSeconds);

}  // namespace hf

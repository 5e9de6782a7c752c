// The thumbnail page: escaping of names and picture paths, and its rows.
#include "tools/hfhost/thumbnail_index.h"

#include <gtest/gtest.h>

#include <utility>

namespace hf {
namespace {

TEST(ThumbnailIndexTest, EscapesEveryMarkupCharacterAndKeepsTheRest) {
  const std::pair<std::string, std::string> cases[] = {
      {"Tom & Jerry's <b>\"x\"</b>", "Tom &amp; Jerry&#39;s &lt;b&gt;&quot;x&quot;&lt;/b&gt;"},
      {"&amp;", "&amp;amp;"},
      {std::string("a\0b", 3), "a&#xFFFD;b"},
      {"caf\xC3\xA9 plain.ps", "caf\xC3\xA9 plain.ps"},
      {"", ""}};
  for (const auto& [text, escaped] : cases) EXPECT_EQ(HtmlEscape(text), escaped) << text;
  EXPECT_EQ(UrlPathEscape("a b/#1?%.png"), "a%20b/%231%3F%25.png");
  EXPECT_EQ(UrlPathEscape("1F-2e_~.x/\xC3\xA9\""), "1F-2e_~.x/%C3%A9%22");
}

TEST(ThumbnailIndexTest, ShowsNewestRowFirstWithItsPictureOrWhatIsMissing) {
  const std::vector<ThumbnailIndexRow> rows = {{"a&b.ps", "PostScript", 171, "9d5", false, "9d5/9d5.png"},
                                               {"<g>.fgl", "FileGroupList", 639, "1b4", true, ""},
                                               {"c.pdf", "PDF", 7, "r #1", false, ""},
                                               {"d.fgl", "FileGroupList", 5, "e'", true, "e'/comp site.png"}};
  const std::string page = ThumbnailIndexPage(rows, 5);
  const std::string expected[] = {
      "<tr><td><a href=\"e%27/comp%20site.png\"><img src=\"e%27/comp%20site.png\" alt=\"composite of d.fgl\"></a>"
      "</td><td>d.fgl</td><td>FileGroupList (group)</td><td>5 bytes</td><td>e&#39;</td></tr>\n",
      "<tr><td>no preview yet</td><td>c.pdf</td><td>PDF</td><td>7 bytes</td><td>r #1</td></tr>\n",
      "<tr><td>no composite yet</td><td>&lt;g&gt;.fgl</td><td>FileGroupList (group)</td><td>639 bytes</td>"
      "<td>1b4</td></tr>\n",
      "<tr><td><a href=\"9d5/9d5.png\"><img src=\"9d5/9d5.png\" alt=\"preview of a&amp;b.ps\"></a></td>"
      "<td>a&amp;b.ps</td><td>PostScript</td><td>171 bytes</td><td>9d5</td></tr>\n"};
  size_t at = 0;
  for (const std::string& row : expected) {
    const size_t found = page.find(row, at);
    ASSERT_NE(found, std::string::npos) << row << "\nafter " << at << " in\n" << page;
    at = found + row.size();
  }
  EXPECT_EQ(page.find("<tr><td>", at), std::string::npos) << "one row per job";
  EXPECT_NE(page.find("<meta http-equiv=\"refresh\" content=\"5\">"), std::string::npos);
  EXPECT_NE(page.find("<p>4 jobs handed over, newest first.</p>"), std::string::npos);
  const std::string empty = ThumbnailIndexPage({}, 0);
  EXPECT_EQ(empty.find("refresh"), std::string::npos);
  EXPECT_NE(empty.find("<p>0 jobs handed over"), std::string::npos);
  EXPECT_EQ(empty.substr(empty.size() - 8), "</html>\n");
}

}  // namespace
}  // namespace hf

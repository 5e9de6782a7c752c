// The XML reader: parse results and messages, cursor moves, names, attributes.
#include "formats/markup.h"

#include <gtest/gtest.h>

#include <string>

namespace hf {

namespace {

TEST(Markup, DocumentsParseOrFailWithTheirMessage) {
  const struct {
    std::string text;
    bool parsed;
    std::string error;
  } cases[] = {
      {"", false, ""},
      {"<a/>", true, ""},
      {"<?xml version=\"1.0\"?>\n<!-- note --><a>text</a>", true, ""},
      {"<!DOCTYPE a [<!ENTITY x '>'>]><a><![CDATA[<b>]]><b/>x<c></c ></a> <tail", true, ""},
      {"<a[1]></a>", true, ""},
      {"plain text", false, "Element tag not found"},
      {"</a>", false, "Element tag not found"},
      {"<a>text", false, "Element tag not found"},
      {"< ", false, "Abrupt end within tag"},
      {"<'a'>", false, "Tag starts with quote"},
      {"<?xml version='1.0'", false, "Invalid node"},
      {"<a><!-- open -></a>", false, "Invalid node"},
      {"<a><![CDATA[ x ]></a>", false, "Invalid node"},
      {"<!DOCTYPE a [<!ELEMENT a ANY>", false, "Invalid node"},
      {"<a", false, "End of tag not found"},
      {"<a><b></a>", false, "End tag does not correspond to b"},
      {"<a></A>", false, "End tag does not correspond to a"},
      {"<a></a", false, "End tag not completed for element a"},
      {"<a></", false, "End tag not completed for element a"},
      {"<a></a \">\"", false, "End tag not completed for element a"},
  };
  CMarkup markup;
  for (const auto& c : cases) {
    markup.SetDocument("<stale/>");
    EXPECT_EQ(markup.SetDocument(c.text), c.parsed) << c.text;
    EXPECT_EQ(markup.GetError(), c.error) << c.text;
    EXPECT_EQ(markup.FindElement(), c.parsed) << c.text;
  }
}

TEST(Markup, CursorWalksTheTree) {
  CMarkup markup;
  ASSERT_TRUE(markup.SetDocument(
      "<?xml version='1.0'?><JDF xmlns='http://ns' ID='r'><!-- c --><ResourcePool>"
      "<RunList ID='a'/><Component ID='b'/><RunList ID='c'></RunList></ResourcePool><AuditPool/></JDF>"));
  const struct {
    char move;  // F find, E enter, L leave
    const char* name;
    bool done;
    std::string tag, id;
  } steps[] = {
      {'E', nullptr, false, "", ""},
      {'L', nullptr, false, "", ""},
      {'F', "JDF", true, "JDF", "r"},
      {'E', nullptr, true, "", ""},
      {'F', "RunList", false, "", ""},
      {'F', "ResourcePool", true, "ResourcePool", ""},
      {'E', nullptr, true, "", ""},
      {'F', "RunList", true, "RunList", "a"},
      {'F', "RunList", true, "RunList", "c"},
      {'F', "RunList", false, "RunList", "c"},
      {'L', nullptr, true, "ResourcePool", ""},
      {'E', nullptr, true, "RunList", "c"},
      {'L', nullptr, true, "ResourcePool", ""},
      {'F', nullptr, true, "AuditPool", ""},
      {'E', nullptr, true, "", ""},
      {'F', nullptr, false, "", ""},
      {'E', nullptr, false, "", ""},
      {'L', nullptr, true, "AuditPool", ""},
      {'L', nullptr, true, "JDF", "r"},
      {'L', nullptr, false, "JDF", "r"},
      {'F', nullptr, false, "JDF", "r"},
  };
  for (const auto& s : steps) {
    const bool done = s.move == 'F'   ? markup.FindElement(s.name)
                      : s.move == 'E' ? markup.EnterElement()
                                      : markup.LeaveElement();
    EXPECT_EQ(done, s.done) << s.move << " " << (s.name ? s.name : "") << " to " << s.tag;
    EXPECT_EQ(markup.GetTagName(), s.tag);
    EXPECT_EQ(markup.GetAttribute("ID"), s.id);
  }
  CMarkup copy(markup);
  markup.SetDocument();
  EXPECT_EQ(copy.GetTagName(), "JDF");
  EXPECT_TRUE(copy.EnterElement());  // back to the child last left
  EXPECT_EQ(copy.GetTagName(), "AuditPool");
}

TEST(Markup, NamesMatchExactlyOrBeforeABlankEqualsSlashOrBracket) {
  const struct {
    const char* name;
    bool found;
  } cases[] = {{"Part", true},   {"part", false},   {"Par", false},   {"Parts", false}, {"Part[2]", true},
               {"Part x", true}, {"Part\tx", true}, {"Part/x", true}, {"Part=", true},  {"", true}};
  CMarkup markup;
  for (const auto& c : cases) {
    markup.SetDocument("<r><Part/></r>");
    ASSERT_TRUE(markup.FindElement("r") && markup.EnterElement());
    EXPECT_EQ(markup.FindElement(c.name), c.found) << c.name;
  }
}

TEST(Markup, AttributesAreQuotedValuesWithTheFiveEntitiesDecoded) {
  const struct {
    std::string tag;
    const char* name;
    std::string value;
  } cases[] = {
      {"<a x=\"1\" y='2'/>", "y", "2"},
      {"<a x = \"1\"></a>", "x", "1"},
      {"<a x=\"&lt;&amp;&gt;&apos;&quot;\"/>", "x", "<&>'\""},
      {"<a x='&#38;&amp;lt;&unknown; &'/>", "x", "&#38;&lt;&unknown; &"},
      {"<a x=1 y=\"2\"/>", "x", ""},
      {"<a x=1 y=\"2\"/>", "y", "2"},
      {"<a b x=\"1\"/>", "x", "1"},
      {"<a xy=\"1\" x=\"2\"/>", "x", "2"},
      {"<a x=\"1\"/>", "X", ""},
      {"<a x=\"1\"/>", "x[1]", "1"},
      {"<a / x=\"1\"/>", "x", ""},
      {"<a ? x=\"1\"/>", "x", ""},
      {"<a x=\"1\"/>", "", "x"},
      {"<a x=\"1\"/>", nullptr, ""},
      {"<a x='>'</a>", "x", ">"},  // the start tag ends at the first ">"
      {"<a y='></a>", "x", ""},    // an open quote runs to the end
  };
  CMarkup markup;
  for (const auto& c : cases) {
    ASSERT_TRUE(markup.SetDocument(c.tag) && markup.FindElement()) << c.tag;
    EXPECT_EQ(markup.GetAttribute(c.name), c.value) << c.tag << " " << (c.name ? c.name : "null");
  }
}

TEST(Markup, DeepNestingIsReadWithoutRecursion) {
  constexpr int kDepth = 100000;
  std::string open, close;
  for (int i = 0; i < kDepth; ++i) open += "<a>", close += "</a>";
  CMarkup markup;
  EXPECT_FALSE(markup.SetDocument(open));
  EXPECT_EQ(markup.GetError(), "Element tag not found");
  ASSERT_TRUE(markup.SetDocument(open + close));
  int depth = 0;
  while (markup.FindElement("a") && markup.EnterElement()) ++depth;
  EXPECT_EQ(depth, kDepth);
  while (markup.LeaveElement()) --depth;
  EXPECT_EQ(depth, 0);
}

TEST(Markup, DoubleByteCharactersAreSteppedOverWhole) {
  const std::string text = "<a\x81\\ x='1'/>";
  CMarkup single, shiftLike([](unsigned char b) { return b >= 0x81 && b <= 0x9F; });
  ASSERT_TRUE(single.SetDocument(text) && single.FindElement());
  ASSERT_TRUE(shiftLike.SetDocument(text) && shiftLike.FindElement());
  EXPECT_EQ(single.GetTagName(), "a\x81");
  EXPECT_EQ(shiftLike.GetTagName(), "a\x81\\");
  EXPECT_EQ(shiftLike.GetAttribute("x"), "1");
}

}  // namespace

}  // namespace hf

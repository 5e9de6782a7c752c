// The shipped filename scheme templates analysed against the shipped sample
// colour catalogue (the names of their comment blocks), their group settings,
// and the template vocabulary for template editors.
#include "common/colour_info.h"
#include "common/file_group_settings.h"
#include "common/file_io.h"
#include "common/filename_analyser.h"
#include "common/filename_template_vocabulary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string SetupPath(const std::string& fileName) {
  return std::string(HF_SOURCE_DIR) + "/config/Config/FilenameSetups/" + fileName;
}

struct Row {
  const char* name;
  bool ok;
  const char* found;
  const char* normalised;
  ColourType type;
  const char* cmyk;  // "" when undefined
  const char* group;
  const char* preps;
  const char* page;
};

std::string CmykText(const BestColour& best) {
  if (!best.cmykDefined) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%d %d %d %d", best.cmyk[0], best.cmyk[1], best.cmyk[2], best.cmyk[3]);
  return text;
}

// Analyses as the group code does: the template re-read from its file before
// every name, catalogue matches not required. The catalogue is a copy in
// memory, so the sample file is never written.
void ExpectShippedTemplate(const char* templateName, const std::vector<Row>& rows) {
  std::string catalogueText;
  ASSERT_EQ(ReadWholeFile(SetupPath("Colours.ini"), catalogueText), 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(templateName) + ": " + row.name);
    CColourInfo catalogue;
    catalogue.LoadCatalogueFromText(catalogueText, kCatalogueAll);
    CFilenameAnalyser analyser;
    analyser.SetColourInfo(&catalogue);
    analyser.SetRequireCatalogueMatch(false);
    ASSERT_TRUE(analyser.ReadTemplate(SetupPath(std::string(templateName) + ".fns")));
    EXPECT_EQ(analyser.Analyse(row.name), row.ok);
    const BestColour& best = analyser.best();
    if (row.found) {
      EXPECT_EQ(best.FoundColor, row.found);
      EXPECT_EQ(best.type, row.type);
      EXPECT_EQ(best.NormalisedColor, row.normalised);
      EXPECT_EQ(CmykText(best), row.cmyk);
    }
    EXPECT_EQ(analyser.groupName(), row.group);
    EXPECT_EQ(analyser.preps(), row.preps);
    EXPECT_EQ(analyser.pageNumber(), row.page);
  }
}

}  // namespace

TEST(ShippedTemplateTest, DefaultWithoutPreps) {
  ExpectShippedTemplate(
      kDefaultTemplateWithoutPreps,
      {
          {"JOB1234_p3_Cyan", true, "Cyan", "Cyan", ctProcess, "255 0 0 0", "JOB1234", "", "3"},
          {"JOB1234_p3_K", true, "K", "Black", ctProcess, "0 0 0 255", "JOB1234", "", "3"},
          {"JOB1234_p12_Tinctura Teal C", true, "Tinctura Teal C", "", ctPantone, "200 0 100 20", "JOB1234", "", "12"},
          {"JOB1234_p3_(Ultramarine)", true, "Ultramarine", "Ultramarine", ctSpot, "255 190 0 20", "JOB1234", "", "3"},
          {"ACME_Brochure_p1_magenta", true, "magenta", "Magenta", ctProcess, "0 255 0 0", "ACME_Brochure", "", "1"},
          {"2024-0815_Yellow", true, "Yellow", "Yellow", ctProcess, "0 0 255 0", "2024-0815", "", ""},
          {"JOB12_plate-cy1", true, "Cyan", "Cyan", ctProcess, "255 0 0 0", "JOB12_plate", "", ""},
          {"JOB1234_p3", false, nullptr, nullptr, ctNone, nullptr, "", "", ""},
      });
}

TEST(ShippedTemplateTest, DefaultWithPreps) {
  ExpectShippedTemplate(
      kDefaultTemplateWithPreps,
      {
          {"A_JOB1234_p3_Cyan", true, "Cyan", "Cyan", ctProcess, "255 0 0 0", "JOB1234", "A", "3"},
          {"b_JOB1234_p3_K", true, "K", "Black", ctProcess, "0 0 0 255", "JOB1234", "b", "3"},
          {"C_JOB1234_p12_Tinctura Teal C", true, "Tinctura Teal C", "", ctPantone, "200 0 100 20", "JOB1234", "C",
           "12"},
          {"H_123456_p1_(Ultramarine)", true, "Ultramarine", "Ultramarine", ctSpot, "255 190 0 20", "123456", "H", "1"},
          {"A_2024-0815_Yellow", true, "Yellow", "Yellow", ctProcess, "0 0 255 0", "20240815", "A", ""},
          {"A_My Job_p1_K", true, "K", "Black", ctProcess, "0 0 0 255", "MyJob", "A", "1"},
          {"J_JOB1234_p3_Cyan", false, "Cyan", "Cyan", ctProcess, "255 0 0 0", "JOB1234", "J", "3"},
          {"JOB1234_p3_Cyan", false, "Cyan", "Cyan", ctProcess, "255 0 0 0", "OB1234", "J", "3"},
      });
}

TEST(ShippedTemplateTest, GroupSettingsOfTheShippedTemplates) {
  struct Case {
    const char* name;
    int timeout;
    int closeOnCount;
    int count;
  };
  const Case cases[] = {
      {kDefaultTemplateWithPreps, 30, 0, 4},
      {kDefaultTemplateWithoutPreps, 30, 0, 4},
      {"GroupByFileType", 30, 1, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFileGroupSettingsFNS settings;
    ASSERT_EQ(settings.ReadSettings(SetupPath(std::string(c.name) + ".fns")), 0);
    EXPECT_EQ(settings.timeoutSeconds(), c.timeout);
    EXPECT_EQ(settings.fileCountTrigger(), c.closeOnCount);
    EXPECT_EQ(settings.fileCount(), c.count);
    CFilenameAnalyser analyser;
    ASSERT_TRUE(analyser.ReadTemplate(SetupPath(std::string(c.name) + ".fns")));
    EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, c.timeout);
  }
}

TEST(TemplateVocabularyTest, GroupIdentifierTypeTexts) {
  EXPECT_STREQ(GroupStartTypeText(0), "Set position from start or end of filename");
  EXPECT_STREQ(GroupStartTypeText(1), "Start after Separation colour identifier");
  EXPECT_STREQ(GroupStartTypeText(2), "Start after PREPS identifier");
  EXPECT_EQ(GroupStartTypeText(3), nullptr);
  EXPECT_EQ(GroupStartTypeText(-1), nullptr);
  EXPECT_STREQ(GroupEndTypeText(0), "Set identifier length");
  EXPECT_STREQ(GroupEndTypeText(1), "Stop at Separation colour identifier");
  EXPECT_STREQ(GroupEndTypeText(2), "Stop at filename extension");
  EXPECT_STREQ(GroupEndTypeText(3), "Set position from end of filename (excluding extension)");
  EXPECT_STREQ(GroupEndTypeText(4), "Stop at PREPS identifier");
  EXPECT_EQ(GroupEndTypeText(5), nullptr);
}

TEST(TemplateVocabularyTest, ShippedTemplateNamesNameTheShippedFiles) {
  EXPECT_STREQ(kDefaultTemplateWithPreps, "Default RUD With PREPS");
  EXPECT_STREQ(kDefaultTemplateWithoutPreps, "Default RUD Without PREPS");
  EXPECT_TRUE(FileExists(SetupPath(std::string(kDefaultTemplateWithPreps) + ".fns")));
  EXPECT_TRUE(FileExists(SetupPath(std::string(kDefaultTemplateWithoutPreps) + ".fns")));
  EXPECT_TRUE(FileExists(SetupPath("GroupByFileType.fns")));
}

TEST(TemplateVocabularyTest, DelimiterCharacterSets) {
  const std::string common = std::string(" ()[]{}_#~@") + static_cast<char>(163) + "$%^&;-=+0123456789";
  const std::string without = kDelimiterCharactersWithoutProcessLetters;
  const std::string all = kDelimiterCharactersAll;
  EXPECT_EQ(without, common + "ABDEFGHIJLNOPQRSTUVWXZ");
  EXPECT_EQ(all, common + "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(static_cast<unsigned char>(all[11]), 163);
  for (char letter : std::string("CKMY")) EXPECT_EQ(without.find(letter), std::string::npos) << letter;
}

TEST(TemplateVocabularyTest, CharactersAFileNameCannotHold) {
  EXPECT_STREQ(kInvalidFileNameCharacters, "\\/:*?\"<>|");
  EXPECT_STREQ(kInvalidFileNameCharactersDisplay, "\\ / : * ? \" < > |");
  EXPECT_EQ(std::strlen(kInvalidFileNameCharacters), 9u);
  for (char c : std::string(kInvalidFileNameCharacters)) EXPECT_TRUE(IsInvalidFileNameCharacter(c)) << c;
  for (char c : std::string(" _.-aZ0") + '\0') EXPECT_FALSE(IsInvalidFileNameCharacter(c)) << c;
}

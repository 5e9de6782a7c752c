// The shipped filename scheme templates analysed against the shipped sample
// colour catalogue (the names of their comment blocks), their group settings,
// and the template vocabulary for template editors.
#include "grouping/file_group_settings.h"
#include "grouping/scheme/filename_analyser.h"
#include "grouping/scheme/filename_template_vocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/grouping/colours/colour_test_support.h"

namespace hf {

namespace {

// Analyses as the group code does: the template re-read from its file before
// every name, catalogue matches not required. The catalogue is a copy in
// memory, so the sample file is never written.
void ExpectShippedTemplate(const char* templateName, const std::vector<AnalysisRow>& rows) {
  const std::string catalogueText = ShippedCatalogueText();
  for (const AnalysisRow& row : rows) {
    SCOPED_TRACE(std::string(templateName) + ": " + row.name);
    CColourInfo catalogue;
    catalogue.LoadCatalogueFromText(catalogueText, kCatalogueAll);
    CFilenameAnalyser analyser;
    analyser.SetColourInfo(&catalogue);
    analyser.SetRequireCatalogueMatch(false);
    ASSERT_TRUE(analyser.ReadTemplate(ShippedSetupPath(std::string(templateName) + ".fns")));
    ExpectAnalysis(analyser, row);
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
    ASSERT_EQ(settings.ReadSettings(ShippedSetupPath(std::string(c.name) + ".fns")), 0);
    EXPECT_EQ(settings.timeoutSeconds(), c.timeout);
    EXPECT_EQ(settings.fileCountTrigger(), c.closeOnCount);
    EXPECT_EQ(settings.fileCount(), c.count);
    CFilenameAnalyser analyser;
    ASSERT_TRUE(analyser.ReadTemplate(ShippedSetupPath(std::string(c.name) + ".fns")));
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

// Folder settings name their template, so these names must not change; the
// tests above read both files.
TEST(TemplateVocabularyTest, ShippedTemplateNamesNameTheShippedFiles) {
  EXPECT_STREQ(kDefaultTemplateWithPreps, "Default RUD With PREPS");
  EXPECT_STREQ(kDefaultTemplateWithoutPreps, "Default RUD Without PREPS");
}

TEST(TemplateVocabularyTest, DelimiterCharacterSets) {
  // The process letters C, K, M and Y are missing from the first set.
  const std::string common = std::string(" ()[]{}_#~@") + static_cast<char>(163) + "$%^&;-=+0123456789";
  EXPECT_EQ(kDelimiterCharactersWithoutProcessLetters, common + "ABDEFGHIJLNOPQRSTUVWXZ");
  EXPECT_EQ(kDelimiterCharactersAll, common + "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

TEST(TemplateVocabularyTest, CharactersAFileNameCannotHold) {
  EXPECT_STREQ(kInvalidFileNameCharacters, "\\/:*?\"<>|");
  EXPECT_STREQ(kInvalidFileNameCharactersDisplay, "\\ / : * ? \" < > |");
  for (char c : std::string(kInvalidFileNameCharacters)) EXPECT_TRUE(IsInvalidFileNameCharacter(c)) << c;
  for (char c : std::string(" _.-aZ0") + '\0') EXPECT_FALSE(IsInvalidFileNameCharacter(c)) << c;
}

}  // namespace hf

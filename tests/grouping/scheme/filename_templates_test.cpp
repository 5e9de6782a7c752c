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
  const std::pair<const char*, int> closeOnCount[] = {
      {kDefaultTemplateWithPreps, 0}, {kDefaultTemplateWithoutPreps, 0}, {"GroupByFileType", 1}};
  for (const auto& [name, trigger] : closeOnCount) {
    CFileGroupSettingsFNS settings;
    ASSERT_EQ(settings.ReadSettings(ShippedSetupPath(std::string(name) + ".fns")), 0) << name;
    EXPECT_EQ(std::make_pair(settings.timeoutSeconds(), settings.fileCount()), std::make_pair(30, 4)) << name;
    EXPECT_EQ(settings.fileCountTrigger(), trigger) << name;
    CFilenameAnalyser analyser;
    ASSERT_TRUE(analyser.ReadTemplate(ShippedSetupPath(std::string(name) + ".fns")));
    EXPECT_DOUBLE_EQ(analyser.settings().groupTimeout, 30) << name;
  }
}

// The texts themselves are data; what is checked is which types have one and how the sets relate.
TEST(TemplateVocabularyTest, GroupIdentifierTypesHaveTextsAndTheCharacterSetsDifferByTheProcessLetters) {
  for (int type = -1; type < 6; ++type) {
    EXPECT_EQ(GroupStartTypeText(type) != nullptr, type >= 0 && type <= 2) << type;
    EXPECT_EQ(GroupEndTypeText(type) != nullptr, type >= 0 && type <= 4) << type;
  }
  EXPECT_STREQ(GroupEndTypeText(3), "Set position from end of filename (excluding extension)");
  std::string withoutProcessLetters = kDelimiterCharactersAll;
  for (char letter : {'C', 'K', 'M', 'Y'}) withoutProcessLetters.erase(withoutProcessLetters.find(letter), 1);
  EXPECT_EQ(kDelimiterCharactersWithoutProcessLetters, withoutProcessLetters);
  EXPECT_EQ(kDelimiterCharactersAll[11], static_cast<char>(163));  // the pound sign of the system code page
  EXPECT_STREQ(kInvalidFileNameCharactersDisplay, "\\ / : * ? \" < > |");
  for (char c : std::string("\\/:*?\"<>|")) EXPECT_TRUE(IsInvalidFileNameCharacter(c)) << c;
  for (char c : std::string(" _.-aZ0") + '\0') EXPECT_FALSE(IsInvalidFileNameCharacter(c)) << c;
  EXPECT_EQ(std::string(kInvalidFileNameCharacters).size(), 9u);
}

}  // namespace hf

// gencomp's reading of the group file and its members.
#include "tools/pictures/gencomp_run.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "base/ascii.h"
#include "base/file_io.h"
#include "base/path_utils.h"
#include "base/plain_file_name.h"
#include "formats/ini_document.h"
#include "grouping/colours/colour_info.h"
#include "grouping/group_document.h"
#include "tools/pictures/composite.h"
#include "tools/pictures/png_file.h"
#include "tools/pictures/tiff_picture.h"

namespace hf {

namespace {

// folder + name, with the separator the folder already uses ("\" unless it has
// only "/"); a name alone when the folder is empty.
std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (IsPathSeparator(folder.back())) return folder + name;
  const bool slashes = folder.find('\\') == std::string::npos && folder.find('/') != std::string::npos;
  return folder + (slashes ? "/" : "\\") + name;
}

struct Separation {
  RgbPicture picture;
  InkColour ink;
};

}  // namespace

int RunGencomp(const std::vector<std::string>& arguments, const std::string& programFolder, std::ostream& errors) {
  if (arguments.size() != 2 || !EqualsIgnoringAsciiCase(arguments[0], "gencomp")) {
    errors << "gencomp: usage: gencomp \"GROUP.fgl\"\n";
    return 2;
  }
  const std::string& groupFile = arguments[1];
  CIniDocument document;
  if (!document.Load(groupFile)) {
    errors << "gencomp: cannot read the group file '" << groupFile << "'\n";
    return 1;
  }
  const CGroupDocumentReader group(document);
  std::string folder, resourceId;
  group.GetFolderPath(folder);
  group.GetResourceID(resourceId);
  if (!IsPlainFileName(resourceId)) {
    errors << "gencomp: the group file '" << groupFile << "' has no usable ResourceID ('" << resourceId << "')\n";
    return 1;
  }
  CColourInfo catalogue;
  catalogue.SetPath(InFolder(InFolder(InFolder(programFolder, "Config"), "FilenameSetups"), "Colours.ini"));
  const bool haveCatalogue = catalogue.LoadCatalogue(kCatalogueAll);

  std::vector<Separation> separations;
  for (const std::string& member : group.GetFileInfoNames()) {
    std::string name, details;
    group.GetRealFileName(member, name);
    if (name.empty()) name = member;
    group.GetFileInfo(member, details);
    // The group's folder, else the copies the plug-in leaves beside the group
    // file (the group may have moved on by now).
    int page = 0;
    group.GetPageNumber(member, page);
    const std::string beside = ParentFolder(groupFile);
    const std::string candidates[] = {InFolder(folder, name), InFolder(InFolder(beside, std::to_string(page)), name),
                                      InFolder(beside, name)};
    const auto found = std::find_if(std::begin(candidates), std::end(candidates),
                                    [](const std::string& candidate) { return FileExists(candidate); });
    if (found == std::end(candidates)) {
      errors << "gencomp: left out '" << name << "': neither in '" << folder << "' nor beside the group file\n";
      continue;
    }
    Separation separation;
    std::string error;
    if (ReadTiffPicture(*found, {kCompositeBoxSide, kCompositeBoxSide}, separation.picture, error) != 0) {
      errors << "gencomp: left out '" << *found << "': " << error << '\n';
      continue;
    }
    unsigned char cmyk[4];
    ResolveMemberInk(details, haveCatalogue ? &catalogue : nullptr, cmyk);
    separation.ink = InkOfCmyk(cmyk);
    separations.push_back(std::move(separation));
  }
  if (separations.empty()) {
    errors << "gencomp: no separation of '" << groupFile << "' could be read; no composite\n";
    return 1;
  }
  const auto largest = std::max_element(separations.begin(), separations.end(), [](const auto& a, const auto& b) {
    return uint64_t{a.picture.width} * a.picture.height < uint64_t{b.picture.width} * b.picture.height;
  });
  SubtractiveComposite composite(largest->picture.width, largest->picture.height);
  for (const Separation& separation : separations) composite.AddSeparation(separation.picture, separation.ink);
  std::string error;
  const std::string png = InFolder(ParentFolder(groupFile), resourceId + ".png");
  if (WritePngFile(png, composite.Result(), error) != 0) {
    errors << "gencomp: " << error << '\n';
    return 1;
  }
  return 0;
}

}  // namespace hf

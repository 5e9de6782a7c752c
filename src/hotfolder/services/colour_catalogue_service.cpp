// The plug-in's colour catalogue.
#include "hotfolder/services/colour_catalogue_service.h"

#include "base/path_utils.h"

namespace hf {

std::string DefaultColourCataloguePath() {
  return JoinPath(JoinPath(JoinPath(HostProgramFolder(), "Config"), "FilenameSetups"), "Colours.ini");
}

CColourInfo& TheColourCatalogue() {
  static CColourInfo catalogue;
  return catalogue;
}

void SetColourCataloguePath(const std::string& path) { TheColourCatalogue().SetPath(path); }

std::string ColourCataloguePath() { return TheColourCatalogue().path(); }

bool LoadColourCatalogue() { return TheColourCatalogue().LoadCatalogue(kCatalogueAll); }

void ClearCatalogue() { TheColourCatalogue().ClearCatalogue(); }

}  // namespace hf

// The colour catalogue as the rest of the plug-in calls it: the one catalogue
// object of the plug-in, its file path (given at InitializeHandler), its
// reload by the grouping set-up and its emptying.
//
// The catalogue is changed by StartAction and read and extended by the scan's
// file analysis; both run under the synchronisation event. CancelAction
// empties it under the event, ShutdownHandler after the scanner has stopped.
#pragma once

#include "grouping/colours/colour_info.h"

#include <string>

namespace hf {

// host program folder + "Config\FilenameSetups\Colours.ini".
std::string DefaultColourCataloguePath();

// The plug-in's catalogue.
CColourInfo& TheColourCatalogue();

// Gives the catalogue its file path; nothing is read.
void SetColourCataloguePath(const std::string& path);
std::string ColourCataloguePath();

// Loads every section of the catalogue file. False when the file cannot be
// read (the catalogue keeps what it held).
bool LoadColourCatalogue();

// Empties the catalogue (ShutdownHandler, CancelAction of a grouping folder);
// the path stays.
void ClearCatalogue();

}  // namespace hf

// Where the shop's data lives and where the first start finds its samples.
#pragma once

#include <string>

namespace kassio {

// The DataFolder: the given folder when not empty (--data-dir), else
// $KASSIO_DATA_DIR, else $XDG_DATA_HOME/Orvane/kassio SC, else
// ~/.local/share/Orvane/kassio SC.
std::string resolveDataFolder(const std::string& given);

// The folder holding the sample files copied at the first start:
// $KASSIO_SAMPLES_DIR, the install folder next to the program
// (../share/kassio/samples), the build tree (../samples), the folder this
// build installs to, then the current directory. Empty when none holds the
// sample inventory.dat.
std::string findSamplesFolder(const std::string& programPath);

// The currency symbol of the user's locale, in Windows-1252.
std::string localeCurrencySymbol();

}  // namespace kassio

// The site changes an installer or another program hands over in the data
// folder: kill.txt (names to remove), add.txt (names to add), add.sit (their
// records, site-file format) and script files beside them. Applied once at
// start-up of a telnet instance; talks only to the DataFolder.
//
// The two lists are names each enclosed in commas, for example
//   ,DB0SDX,GB7DJK-2,
#pragma once

#include <string>
#include <vector>

#include "core/files.h"

namespace qn {

struct SiteUpdateSummary {
  bool rewritten = false;            // qln.sit was written back
  std::vector<std::string> removed;  // names as stored in the site file
  std::vector<std::string> added;    // names as stored in add.sit
  std::vector<std::string> refused;  // add.sit names that are no valid site name
  // The site file or add.sit could not be read, or the site file not written:
  // nothing was changed and the hand-over files are left for the next start.
  bool failed = false;
};

// Merges the hand-over into qln.sit: named sites are removed with their
// scripts, sites named in add.txt and not yet present are appended from
// add.sit and their scripts moved into SCRIPT; a site named in both lists is
// replaced and goes to the end. The three hand-over files are deleted
// afterwards. The caller decides whether this instance applies it at all.
SiteUpdateSummary ApplySiteUpdate(const DataFolder& folder);

}  // namespace qn

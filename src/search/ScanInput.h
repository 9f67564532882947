#pragma once

// The bytes a scan reads for a database: its lines, where an ADIF file's
// records become wsjtx.log lines.

#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "records/Adif.h"
#include "search/SearchScan.h"

namespace orvanta {

// The piece of a search text that every converted ADIF record matching it
// holds in the raw bytes of one of its values, in any letter case; empty
// when there is no such piece (steps, texts of digits or separators only).
std::string adifValueAnchor(const ScanRequest& request);

// A filter finding an upper-case ASCII text in raw bytes in any letter case.
RawTextFilter anchorFilter(const std::string& upperAscii);

// Opens a database for a scan. A plain search in an ADIF file leaves out the
// records whose values cannot hold the text, which gives the same hits and
// prompts as converting all of them. Throws FileError.
std::unique_ptr<IInputFile> openScanLines(const IFileSystem& files, const std::string& path,
                                          const ScanRequest& request);

}  // namespace orvanta

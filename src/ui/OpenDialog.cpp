#include "ui/OpenDialog.h"

#include "platform/Paths.h"
#include "ui/MessageTexts.h"

namespace orvanta {

std::vector<FileFilter> parseFilterList(const std::string& filterList) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filterList.size()) {
    const std::size_t bar = filterList.find('|', start);
    const std::size_t stop = bar == std::string::npos ? filterList.size() : bar;
    parts.push_back(filterList.substr(start, stop - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<FileFilter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back(FileFilter{parts[i], parts[i + 1]});
  return filters;
}

std::string ShowOpenDialog(const OpenDialogServices& services, const std::string& title,
                           const std::string& initialFolder, std::string& fileName,
                           const std::string& filterList, std::int32_t filterIndex) {
  OpenFileRequest request;
  request.title = title;
  request.initialFolder = initialFolder;
  request.fileName = fileName;
  request.filters = parseFilterList(filterList);
  request.filterIndex = filterIndex == 0 ? 1 : filterIndex;
  request.places = services.places;

  const OpenFileResult result = services.dialog.openFile(request);
  services.events.yield();

  switch (result.outcome) {
    case OpenFileResult::Outcome::Cancelled:
      return {};
    case OpenFileResult::Outcome::Failed:
      // The platform's dialog reports no error numbers, only a description.
      services.messages.show(fillIn(texts::kOpenDialogFailed, {result.error}, services.newLine), title,
                             MessageIcon::Exclamation, MessageButtons::Ok);
      return {};
    case OpenFileResult::Outcome::Chosen:
      break;
  }
  if (result.path.empty()) return {};
  fileName = fileNameOf(result.path);
  return result.path;
}

}  // namespace orvanta

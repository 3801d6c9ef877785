#include "gui/DialogServices.h"

#include "gui/Texts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace dovetrel {

namespace {

/// The lines of \p strText; none for an empty text.
std::vector<std::string> SplitLines(const std::string& strText) {
  std::vector<std::string> lines;
  std::size_t nStart = 0;
  while (nStart < strText.size()) {
    const std::size_t nEnd = std::min(strText.find('\n', nStart), strText.size());
    lines.push_back(strText.substr(nStart, nEnd - nStart));
    nStart = nEnd + 1;
  }
  return lines;
}

} // namespace

std::string AbsolutePath(const std::string& strPath) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(strPath, error);
  if (error)
    return strPath;
  // The folder as the system resolves it, so that "sub/../out.vxml" names the folder the file is
  // really in even where "sub" is a link.
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(absolute.parent_path(), error);
  if (error)
    return absolute.string();
  return (folder / absolute.filename()).string();
}

MessageReply CBoxMessageSink::ShowMessage(std::string_view text, MessageKind kind,
                                          const MessageDetail& detail) {
  // Information is the success of the conversion; every other kind is an ordinary box.
  if (kind != MessageKind::Information)
    return m_services.ShowBox(kind, EscapeControls(text), detail);
  ShowSuccess(EscapeControls(text), detail);
  return MessageReply::Ok;
}

void CBoxMessageSink::ShowSuccess(std::string_view text, const MessageDetail& detail) {
  // The conversion hands its warnings over as the success message's detail, one per line.
  const ConversionReport report{AbsolutePath(m_strDocument), SplitLines(FormatDetail(detail))};
  if (m_services.ShowSuccess(text, report) != SuccessReply::OpenFolder)
    return;
  const std::string strFolder = std::filesystem::path(report.strDocument).parent_path().string();
  if (m_services.OpenFolder(strFolder))
    return;
  MessageDetail where;
  where.strFile = strFolder;
  where.code = FailureCode::CannotOpenFolder;
  m_services.ShowBox(MessageKind::Warning, text::kCannotOpenFolder, where);
}

} // namespace dovetrel

#include "tests/gui/ScriptedServices.h"

namespace dovetrel::test {

namespace {

QString Describe(const ShownBox& box) {
  return QStringLiteral("kind %1 box: %2 [%3]")
      .arg(QString::number(static_cast<int>(box.kind)), QString::fromStdString(box.strText),
           QString::fromStdString(FormatDetail(box.detail)));
}

} // namespace

std::string CScriptedServices::OpenFileName(std::string_view filter,
                                            const std::string& strStartPath) {
  m_chooserCalls.push_back("open " + std::string(filter));
  m_chooserStarts.push_back(strStartPath);
  if (m_openResults.empty()) {
    m_faults << QStringLiteral("unscripted open chooser");
    return {};
  }
  std::string strResult = m_openResults.front();
  m_openResults.pop_front();
  return strResult;
}

std::string CScriptedServices::SaveFileName(std::string_view filter, std::string_view defaultSuffix,
                                            const std::string& strStartPath) {
  m_chooserCalls.push_back("save " + std::string(filter) + " " + std::string(defaultSuffix));
  m_chooserStarts.push_back(strStartPath);
  if (m_saveResults.empty()) {
    m_faults << QStringLiteral("unscripted save chooser");
    return {};
  }
  std::string strResult = m_saveResults.front();
  m_saveResults.pop_front();
  return strResult;
}

MessageReply CScriptedServices::ShowBox(MessageKind kind, std::string_view text,
                                        const Finding& detail) {
  m_shown.push_back(ShownBox{kind, std::string(text), detail, {}});
  if (kind != MessageKind::Question)
    return MessageReply::Ok;
  if (m_replies.empty()) {
    m_faults << QStringLiteral("unscripted question: ") + Describe(m_shown.back());
    return MessageReply::No;
  }
  const MessageReply reply = m_replies.front();
  m_replies.pop_front();
  return reply;
}

SuccessReply CScriptedServices::ShowSuccess(std::string_view text, const ConversionReport& report) {
  m_shown.push_back(ShownBox{MessageKind::Information, std::string(text), {}, report});
  if (m_successReplies.empty())
    return SuccessReply::Ok;
  const SuccessReply reply = m_successReplies.front();
  m_successReplies.pop_front();
  return reply;
}

bool CScriptedServices::OpenFolder(const std::string& strFolder) {
  m_openedFolders.push_back(strFolder);
  if (m_folderResults.empty()) {
    m_faults << QStringLiteral("unscripted folder opening: ") + QString::fromStdString(strFolder);
    return false;
  }
  const bool bOpened = m_folderResults.front();
  m_folderResults.pop_front();
  return bOpened;
}

ShownBox CScriptedServices::Take() {
  if (m_shown.empty()) {
    m_faults << QStringLiteral("a box was expected, none was shown");
    return ShownBox{MessageKind::Warning, {}, {}, {}};
  }
  ShownBox box = m_shown.front();
  m_shown.pop_front();
  return box;
}

QStringList CScriptedServices::Leftovers() const {
  QStringList leftovers = m_faults;
  for (const ShownBox& box : m_shown)
    leftovers << QStringLiteral("untaken ") + Describe(box);
  for (const std::string& strPath : m_openResults)
    leftovers << QStringLiteral("unused open chooser result ") + QString::fromStdString(strPath);
  for (const std::string& strPath : m_saveResults)
    leftovers << QStringLiteral("unused save chooser result ") + QString::fromStdString(strPath);
  if (!m_replies.empty())
    leftovers << QStringLiteral("unused answers to questions: %1").arg(m_replies.size());
  if (!m_successReplies.empty())
    leftovers << QStringLiteral("unused answers to success boxes: %1").arg(m_successReplies.size());
  if (!m_folderResults.empty())
    leftovers << QStringLiteral("unused folder results: %1").arg(m_folderResults.size());
  return leftovers;
}

} // namespace dovetrel::test

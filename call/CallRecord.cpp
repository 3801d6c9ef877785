#include "call/CallRecord.h"

#include "call/Texts.h"
#include "convert/Conversion.h"
#include "vxml/XmlOutput.h"

#include <memory>

namespace dovetrel {

std::string RecordLine(std::string_view line) {
  std::string strLine(line);
  strLine += '\n';
  return strLine;
}

std::string CallRecord(const std::vector<std::string>& lines) {
  std::string strRecord;
  for (const std::string& strLine : lines)
    strRecord += RecordLine(strLine);
  return strRecord;
}

bool WriteCallRecord(const std::string& strPath, const std::vector<std::string>& lines,
                     const std::vector<std::string>& setFiles, IMessageSink& messages) {
  if (const std::string strSame = FindSetFile(strPath, setFiles); !strSame.empty()) {
    ShowFailure(messages, FailureCode::CannotWriteCall, text::kRecordIsScenario, {strSame, 0, {}});
    return false;
  }
  const std::string strRecord = CallRecord(lines);
  std::string strReason;
  const std::unique_ptr<IOutputStream> pStream = CreateReplacingFile(strPath, strReason);
  if (pStream && pStream->Write(strRecord.data(), strRecord.size()) && pStream->Commit())
    return true;
  if (pStream)
    strReason = pStream->Reason();
  ShowFailure(messages, FailureCode::CannotWriteCall, text::kCannotWriteRecord,
              {strPath, 0, strReason});
  return false;
}

} // namespace dovetrel

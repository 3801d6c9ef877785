#include "call/CallRecord.h"

#include "call/Texts.h"
#include "convert/Conversion.h"

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
  return WriteSideFile(strPath, CallRecord(lines), setFiles,
                       {FindingCode::CannotWriteCall, text::kRecordIsScenario,
                        FindingCode::CannotWriteCall, text::kCannotWriteRecord},
                       messages);
}

} // namespace dovetrel

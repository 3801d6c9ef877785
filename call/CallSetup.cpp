#include "call/CallSetup.h"

#include "call/Transcript.h"
#include "vxml/TextCodec.h"

namespace dovetrel {

namespace {

class CStringStream final : public IOutputStream {
public:
  explicit CStringStream(std::string& strTarget) : m_strTarget(strTarget) {}
  bool Write(const char* pData, std::size_t nSize) override {
    m_strBuffer.append(pData, nSize);
    return true;
  }
  bool Commit() override {
    m_strTarget = std::move(m_strBuffer);
    return true;
  }
  std::string Reason() const override { return {}; }

private:
  std::string& m_strTarget;
  std::string m_strBuffer;
};

} // namespace

std::unique_ptr<IOutputStream> CMemoryXmlOutput::CreateStream(const std::string& /*strPath*/,
                                                              std::string& /*strReason*/) {
  return std::make_unique<CStringStream>(m_strDocument);
}

std::unique_ptr<IXmlWriter> CMemoryXmlOutput::CreateWriter() {
  return CreateLibXmlWriter();
}

std::optional<CallSet> ConvertForCall(const std::string& strIvrFile, IMessageSink& messages,
                                      const ConversionOptions& options) {
  CMemoryXmlOutput output;
  ConversionOptions inMemory = options;
  inMemory.pOutput = &output;
  CScenarioConverter converter;
  std::string strBaseDir;
  if (RunConversion(strIvrFile, ProposeVxmlName(strIvrFile, options.dialect), strBaseDir, converter,
                    messages, inMemory) != ConversionOutcome::Converted)
    return std::nullopt;
  CallSet set;
  set.strDocument = std::move(output.m_strDocument);
  set.strEncoding =
      options.strEncoding.empty() ? DetectSourceEncoding(converter) : options.strEncoding;
  set.flow = BuildCallFlow(converter);
  for (const FlowMenu& menu : set.flow.menus)
    set.menus.push_back(DecodeTranscriptText(menu.strName, set.strEncoding));
  return set;
}

} // namespace dovetrel

#include "tests/support/MemoryOutput.h"

namespace dovetrel::test {

namespace {

class CMemoryStream final : public IOutputStream {
public:
  explicit CMemoryStream(CMemoryOutput& output) : m_output(output) { ++m_output.m_nLiveStreams; }
  ~CMemoryStream() override { --m_output.m_nLiveStreams; }
  CMemoryStream(const CMemoryStream&) = delete;
  CMemoryStream& operator=(const CMemoryStream&) = delete;

  bool Write(const char* pData, std::size_t nSize) override {
    m_strBuffer.append(pData, nSize);
    return true;
  }
  bool Commit() override {
    if (m_output.m_bFailCommit) {
      m_strReason = "Input/output error";
      return false;
    }
    m_output.m_strDocument = m_strBuffer;
    ++m_output.m_nCommits;
    return true;
  }
  std::string Reason() const override { return m_strReason; }

private:
  CMemoryOutput& m_output;
  std::string m_strBuffer;
  std::string m_strReason;
};

/// The real writer, each call recorded and possibly failed.
class CRecordingWriter final : public IXmlWriter {
public:
  CRecordingWriter(std::vector<std::string>& vecCalls, const int& nFailingCall)
      : m_vecCalls(vecCalls), m_nFailingCall(nFailingCall), m_pWriter(CreateLibXmlWriter()) {}

  int SetOutput(IOutputStream& stream) override {
    return Call("output") ? m_pWriter->SetOutput(stream) : -1;
  }
  int SetIndentation() override { return Call("indent") ? m_pWriter->SetIndentation() : -1; }
  int WriteStartDocument() override {
    return Call("declaration") ? m_pWriter->WriteStartDocument() : -1;
  }
  int WriteStartElement(const char* szName) override {
    return Call(std::string("start:") + szName) ? m_pWriter->WriteStartElement(szName) : -1;
  }
  int WriteAttributeString(const char* szName, const char* szValue) override {
    return Call(std::string("attr:") + szName) ? m_pWriter->WriteAttributeString(szName, szValue)
                                               : -1;
  }
  int WriteString(const char* szText) override {
    return Call("text") ? m_pWriter->WriteString(szText) : -1;
  }
  int WriteEndElement() override { return Call("end") ? m_pWriter->WriteEndElement() : -1; }
  int WriteEndDocument() override {
    return Call("end-document") ? m_pWriter->WriteEndDocument() : -1;
  }
  int Flush() override { return Call("flush") ? m_pWriter->Flush() : -1; }

private:
  bool Call(std::string strName) {
    m_vecCalls.push_back(std::move(strName));
    return static_cast<int>(m_vecCalls.size()) - 1 != m_nFailingCall;
  }

  std::vector<std::string>& m_vecCalls;
  const int& m_nFailingCall;
  std::unique_ptr<IXmlWriter> m_pWriter;
};

} // namespace

std::unique_ptr<IXmlWriter> CreateRecordingWriter(std::vector<std::string>& vecCalls,
                                                  const int& nFailingCall) {
  return std::make_unique<CRecordingWriter>(vecCalls, nFailingCall);
}

std::unique_ptr<IOutputStream> CMemoryOutput::CreateStream(const std::string& strPath,
                                                           std::string& strReason) {
  m_strPath = strPath;
  if (m_bFailStream) {
    strReason = "Permission denied";
    return nullptr;
  }
  return std::make_unique<CMemoryStream>(*this);
}

std::unique_ptr<IXmlWriter> CMemoryOutput::CreateWriter() {
  if (m_bFailWriter)
    return nullptr;
  return CreateRecordingWriter(m_vecCalls, m_nFailingCall);
}

} // namespace dovetrel::test

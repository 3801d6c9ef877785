#include "vxml/XmlOutput.h"

#include <libxml/xmlwriter.h>

namespace dovetrel {

namespace {

const xmlChar* Xml(const char* sz) {
  return reinterpret_cast<const xmlChar*>(sz);
}

int WriteToStream(void* pContext, const char* pBuffer, int nSize) {
  auto* pStream = static_cast<IOutputStream*>(pContext);
  return pStream->Write(pBuffer, static_cast<std::size_t>(nSize)) ? nSize : -1;
}

int CloseStream(void* /*pContext*/) {
  return 0;
}

void IgnoreReport(void* /*pContext*/, const char* /*szFormat*/, ...) {}

class CLibXmlWriter final : public IXmlWriter {
public:
  CLibXmlWriter() = default;
  ~CLibXmlWriter() override {
    if (m_pWriter)
      xmlFreeTextWriter(m_pWriter);
  }
  CLibXmlWriter(const CLibXmlWriter&) = delete;
  CLibXmlWriter& operator=(const CLibXmlWriter&) = delete;

  int SetOutput(IOutputStream& stream) override {
    if (m_pWriter)
      return -1;
    xmlOutputBufferPtr pOutput =
        xmlOutputBufferCreateIO(WriteToStream, CloseStream, &stream, nullptr);
    if (!pOutput)
      return -1;
    m_pWriter = xmlNewTextWriter(pOutput);
    if (!m_pWriter) {
      xmlOutputBufferClose(pOutput);
      return -1;
    }
    return 0;
  }

  int SetIndentation() override {
    if (!m_pWriter || xmlTextWriterSetIndent(m_pWriter, 1) < 0)
      return -1;
    return xmlTextWriterSetIndentString(m_pWriter, Xml("  "));
  }

  int WriteStartDocument() override {
    return m_pWriter ? xmlTextWriterStartDocument(m_pWriter, "1.0", "UTF-8", nullptr) : -1;
  }
  int WriteStartElement(const char* szName) override {
    return m_pWriter ? xmlTextWriterStartElement(m_pWriter, Xml(szName)) : -1;
  }
  int WriteAttributeString(const char* szName, const char* szValue) override {
    return m_pWriter ? xmlTextWriterWriteAttribute(m_pWriter, Xml(szName), Xml(szValue)) : -1;
  }
  int WriteString(const char* szText) override {
    return m_pWriter ? xmlTextWriterWriteString(m_pWriter, Xml(szText)) : -1;
  }
  int WriteEndElement() override { return m_pWriter ? xmlTextWriterEndElement(m_pWriter) : -1; }
  int WriteEndDocument() override { return m_pWriter ? xmlTextWriterEndDocument(m_pWriter) : -1; }
  int Flush() override { return m_pWriter ? xmlTextWriterFlush(m_pWriter) : -1; }

private:
  xmlTextWriterPtr m_pWriter = nullptr;
};

class CSystemXmlOutput final : public IXmlOutputFactory {
public:
  std::unique_ptr<IOutputStream> CreateStream(const std::string& strPath,
                                              std::string& strReason) override {
    return CreateReplacingFile(strPath, strReason);
  }
  std::unique_ptr<IXmlWriter> CreateWriter() override { return CreateLibXmlWriter(); }
};

class CDiscardingStream final : public IOutputStream {
public:
  bool Write(const char* /*pData*/, std::size_t /*nSize*/) override { return true; }
  bool Commit() override { return true; }
  std::string Reason() const override { return {}; }
};

class CDiscardingOutput final : public IXmlOutputFactory {
public:
  std::unique_ptr<IOutputStream> CreateStream(const std::string& /*strPath*/,
                                              std::string& /*strReason*/) override {
    return std::make_unique<CDiscardingStream>();
  }
  std::unique_ptr<IXmlWriter> CreateWriter() override { return CreateLibXmlWriter(); }
};

} // namespace

IXmlOutputFactory& DiscardingXmlOutput() {
  static CDiscardingOutput output;
  return output;
}

void SilenceLibXmlReports() {
  xmlSetGenericErrorFunc(nullptr, IgnoreReport);
}

std::unique_ptr<IXmlWriter> CreateLibXmlWriter() {
  xmlInitParser();
  return std::make_unique<CLibXmlWriter>();
}

IXmlOutputFactory& SystemXmlOutput() {
  static CSystemXmlOutput output;
  return output;
}

} // namespace dovetrel

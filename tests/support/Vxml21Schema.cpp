#include "tests/support/Vxml21Schema.h"

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace dovetrel::test {

namespace {

void Collect(void* pErrors, const char* szFormat, ...) {
  auto& strErrors = *static_cast<std::string*>(pErrors);
  if (strErrors.size() > 2000)
    return;
  char szLine[512];
  va_list args;
  va_start(args, szFormat);
  std::vsnprintf(szLine, sizeof szLine, szFormat, args);
  va_end(args);
  strErrors += szLine;
}

void Ignore(void* /*pContext*/, const char* /*szFormat*/, ...) {}

} // namespace

std::string CVxml21Schema::Location() {
  const char* szDir = std::getenv("DOVETREL_SCHEMA_DIR");
  return std::string(szDir ? szDir : DOVETREL_SCHEMA_DIR) + "/vxml.xsd";
}

const CVxml21Schema* CVxml21Schema::Get() {
  static const CVxml21Schema* pSchema = []() -> const CVxml21Schema* {
    if (!std::filesystem::exists(Location()))
      return nullptr;
    xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader);
    xmlSchemaParserCtxtPtr pParser = xmlSchemaNewParserCtxt(Location().c_str());
    xmlSchemaSetParserErrors(pParser, Ignore, Ignore, nullptr);
    xmlSchemaPtr pCompiled = xmlSchemaParse(pParser);
    xmlSchemaFreeParserCtxt(pParser);
    if (!pCompiled)
      return nullptr;
    auto* pLoaded = new CVxml21Schema(); // lives as long as the process
    pLoaded->m_pSchema = pCompiled;
    return pLoaded;
  }();
  return pSchema;
}

bool CVxml21Schema::Validate(const std::string& strDocument, std::string& strErrors) const {
  strErrors.clear();
  xmlDocPtr pDoc = xmlReadMemory(strDocument.data(), static_cast<int>(strDocument.size()),
                                 "document.vxml", nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR);
  if (!pDoc) {
    strErrors = "not well-formed";
    return false;
  }
  xmlSchemaValidCtxtPtr pValidator = xmlSchemaNewValidCtxt(static_cast<xmlSchemaPtr>(m_pSchema));
  xmlSchemaSetValidErrors(pValidator, Collect, Collect, &strErrors);
  const int nResult = xmlSchemaValidateDoc(pValidator, pDoc);
  xmlSchemaFreeValidCtxt(pValidator);
  xmlFreeDoc(pDoc);
  return nResult == 0;
}

} // namespace dovetrel::test

#include "tests/support/XmlElements.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace dovetrel::test {

namespace {

std::string AsString(const xmlChar* sz) {
  return sz ? reinterpret_cast<const char*>(sz) : "";
}

void Walk(xmlNodePtr pNode, int nDepth, std::vector<std::string>& elements) {
  for (; pNode; pNode = pNode->next) {
    if (pNode->type == XML_TEXT_NODE) {
      if (!xmlIsBlankNode(pNode))
        elements.push_back(std::string(std::size_t{2} * static_cast<std::size_t>(nDepth), ' ') +
                           "#text");
      continue;
    }
    if (pNode->type != XML_ELEMENT_NODE) {
      elements.push_back(std::string(std::size_t{2} * static_cast<std::size_t>(nDepth), ' ') +
                         "#node");
      continue;
    }
    std::string strLine =
        std::string(std::size_t{2} * static_cast<std::size_t>(nDepth), ' ') + AsString(pNode->name);
    for (xmlAttrPtr pAttr = pNode->properties; pAttr; pAttr = pAttr->next) {
      xmlChar* pValue = xmlNodeListGetString(pNode->doc, pAttr->children, 1);
      // Appended piece by piece: `" " + std::string` makes GCC 12 warn falsely (-Wrestrict).
      strLine += ' ';
      strLine += AsString(pAttr->name);
      strLine += '=';
      strLine += AsString(pValue);
      xmlFree(pValue);
    }
    elements.push_back(strLine);
    Walk(pNode->children, nDepth + 1, elements);
  }
}

} // namespace

std::vector<std::string> XmlElements(const std::string& strDocument, std::string& strError) {
  xmlDocPtr pDoc =
      xmlReadMemory(strDocument.data(), static_cast<int>(strDocument.size()), "doc", nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!pDoc) {
    const xmlError* pError = xmlGetLastError();
    strError = pError && pError->message ? pError->message : "not well-formed";
    return {};
  }
  std::vector<std::string> elements;
  if (AsString(pDoc->encoding) != "UTF-8")
    strError = "encoding is not UTF-8: " + AsString(pDoc->encoding);
  Walk(pDoc->children, 0, elements);
  xmlFreeDoc(pDoc);
  return elements;
}

} // namespace dovetrel::test

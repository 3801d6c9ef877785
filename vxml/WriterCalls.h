#pragma once

// Shorthands for the writer calls that the document's pieces are made of. Each is true when every
// call it made succeeded.

#include "scenario/ScenarioConverter.h"
#include "vxml/VoiceXmlWriter.h"
#include "vxml/XmlOutput.h"

#include <string_view>

namespace dovetrel::calls {

inline bool StartElement(CScenarioConverter& converter, const char* szName) {
  return converter.m_pWriter->WriteStartElement(szName) >= 0;
}

inline bool EndElement(CScenarioConverter& converter) {
  return converter.m_pWriter->WriteEndElement() >= 0;
}

/// An element without attributes or content.
inline bool EmptyElement(CScenarioConverter& converter, const char* szName) {
  return StartElement(converter, szName) && EndElement(converter);
}

/// An attribute whose value is a constant of the program.
inline bool ConstantAttribute(CScenarioConverter& converter, const char* szName,
                              const char* szValue) {
  return converter.m_pWriter->WriteAttributeString(szName, szValue) >= 0;
}

/// An attribute whose value comes from the scenario files, converted just before it is written.
inline bool ValueAttribute(CScenarioConverter& converter, const char* szName,
                           std::string_view value) {
  const char* szValue = WidenToBuffer(value, converter);
  return szValue && ConstantAttribute(converter, szName, szValue);
}

} // namespace dovetrel::calls

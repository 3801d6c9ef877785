#pragma once

#include <string>

namespace dovetrel::test {

/// W3C's VoiceXML 2.1 schema, loaded once from the project's shared folder (or from
/// DOVETREL_SCHEMA_DIR), for checking that standard documents are valid.
class CVxml21Schema {
public:
  /// The schema; null when its files are not there (the caller reports a visible skip).
  static const CVxml21Schema* Get();
  /// Where the schema was looked for.
  static std::string Location();

  /// True when \p strDocument is well-formed and valid; otherwise libxml2's first complaints.
  bool Validate(const std::string& strDocument, std::string& strErrors) const;

private:
  CVxml21Schema() = default;
  void* m_pSchema = nullptr; ///< libxml2's compiled schema
};

} // namespace dovetrel::test

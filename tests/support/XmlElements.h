#pragma once

#include <string>
#include <vector>

namespace dovetrel::test {

/// The elements of an XML document in document order, one string each: two spaces per level of
/// depth, the name, then " name=value" for each attribute in order. Text nodes other than
/// whitespace show as "#text". Fills \p strError and returns nothing when the document is not
/// well-formed.
std::vector<std::string> XmlElements(const std::string& strDocument, std::string& strError);

} // namespace dovetrel::test

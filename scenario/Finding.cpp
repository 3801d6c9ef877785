#include "scenario/Finding.h"

#include "scenario/Message.h"

#include <algorithm>

namespace dovetrel {

namespace {

/// \p text escaped, its line ends kept: the lines of a note that holds several.
std::string EscapeLines(std::string_view text) {
  std::string strOut;
  for (std::size_t nStart = 0; nStart <= text.size();) {
    const std::size_t nEnd = std::min(text.find('\n', nStart), text.size());
    strOut += EscapeControls(text.substr(nStart, nEnd - nStart));
    if (nEnd < text.size())
      strOut += '\n';
    nStart = nEnd + 1;
  }
  return strOut;
}

/// Index in \p text of the first byte of 1-based line \p nLine; the end when there is none.
std::size_t LineStart(std::string_view text, int nLine) {
  std::size_t nIndex = 0;
  for (int i = 1; i < nLine && nIndex < text.size(); ++i)
    nIndex = std::min(text.find('\n', nIndex), text.size() - 1) + 1;
  return nIndex;
}

} // namespace

std::string_view SeverityName(Severity severity) {
  switch (severity) {
  case Severity::Information:
    return "information";
  case Severity::Warning:
    return "warning";
  case Severity::Error:
    break;
  }
  return "error";
}

std::string FormatFinding(const Finding& finding) {
  std::string strLine = EscapeControls(finding.strFile);
  if (finding.nLine > 0)
    strLine += ':' + std::to_string(finding.nLine);
  if (finding.nLine > 0 && finding.nColumn > 0)
    strLine += ':' + std::to_string(finding.nColumn);
  strLine += ": " + std::string(SeverityName(finding.severity)) + ": ";
  strLine += EscapeControls(finding.strText);
  if (!finding.strNote.empty())
    strLine += " (" + EscapeControls(finding.strNote) + ")";
  return strLine;
}

std::string FormatDetail(const Finding& finding) {
  std::string strLine = EscapeControls(finding.strFile);
  if (!strLine.empty() && finding.nLine > 0)
    strLine += ':' + std::to_string(finding.nLine);
  if (!finding.strNote.empty()) {
    if (!strLine.empty())
      strLine += ": ";
    strLine += EscapeLines(finding.strNote);
  }
  if (!finding.strNamedAt.empty())
    strLine += " (указан в " + EscapeControls(finding.strNamedAt) + ")";
  return strLine;
}

bool HasFindings(const std::vector<Finding>& findings, Severity severity) {
  return std::any_of(findings.begin(), findings.end(),
                     [severity](const Finding& f) { return f.severity == severity; });
}

std::string ApplyFix(std::string_view text, const std::vector<TextEdit>& fix) {
  std::string strOut(text);
  // From the last edit to the first, so that each edit's columns still hold.
  std::vector<TextEdit> edits = fix;
  std::sort(edits.begin(), edits.end(), [](const TextEdit& a, const TextEdit& b) {
    return a.nLine != b.nLine ? a.nLine > b.nLine : a.nFirstColumn > b.nFirstColumn;
  });
  for (const TextEdit& edit : edits) {
    const std::size_t nStart = LineStart(strOut, edit.nLine);
    const std::size_t nEnd = std::min(strOut.find('\n', nStart), strOut.size());
    const std::size_t nFirst = std::min<std::size_t>(nStart + edit.nFirstColumn - 1, nEnd);
    const std::size_t nLast = std::min<std::size_t>(nStart + edit.nEndColumn - 1, nEnd);
    std::string strPadded = edit.strText;
    if (nStart + edit.nFirstColumn - 1 > nEnd) // an edit beyond the line's end: spaces up to it
      strPadded.insert(0, nStart + edit.nFirstColumn - 1 - nEnd, ' ');
    strOut.replace(nFirst, std::max(nFirst, nLast) - nFirst, strPadded);
  }
  return strOut;
}

} // namespace dovetrel

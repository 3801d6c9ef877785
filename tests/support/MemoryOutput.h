#pragma once

#include "vxml/XmlOutput.h"

#include <memory>
#include <string>
#include <vector>

namespace dovetrel::test {

/// Documents written into memory through the real libxml2 writer. Any writer call, the creation
/// of the stream or of the writer, or the final commit can be made to fail, and every writer call
/// is recorded by name, so tests can inject a fault at every step of a document.
class CMemoryOutput final : public IXmlOutputFactory {
public:
  std::unique_ptr<IOutputStream> CreateStream(const std::string& strPath,
                                              std::string& strReason) override;
  std::unique_ptr<IXmlWriter> CreateWriter() override;

  /// The path of the last stream asked for.
  std::string m_strPath;
  /// The committed document; unchanged by a document that was not committed.
  std::string m_strDocument = "previous document";
  int m_nCommits = 0;
  /// Streams still alive: a finished write leaves none.
  int m_nLiveStreams = 0;
  /// Names of the writer calls made, in order ("start:form", "attr:id", "end", ...).
  std::vector<std::string> m_vecCalls;

  int m_nFailingCall = -1; ///< index into m_vecCalls of the call that fails; -1 for none
  bool m_bFailStream = false;
  bool m_bFailWriter = false;
  bool m_bFailCommit = false;
};

/// The real libxml2 writer, each call recorded by name into \p vecCalls; the call whose index is
/// \p nFailingCall (read at each call) fails without reaching libxml2.
std::unique_ptr<IXmlWriter> CreateRecordingWriter(std::vector<std::string>& vecCalls,
                                                  const int& nFailingCall);

} // namespace dovetrel::test

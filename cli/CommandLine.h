#pragma once

#include "scenario/Message.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace dovetrel {

/// Exit statuses of dovetrel-convert.
enum class ExitStatus {
  Success = 0,  ///< converted (or, with --check, nothing to report)
  Failure = 1,  ///< the conversion failed
  Usage = 2,    ///< the command line was wrong
  Warnings = 3, ///< --check found warnings only; --flow --coverage: a call differs from its record
};

/// Prints every message as "SEVERITY: TEXT" with its detail on an indented line below, and the
/// findings that go with it one per indented line.
class CStreamMessageSink final : public IMessageSink {
public:
  explicit CStreamMessageSink(std::ostream& stream) : m_stream(stream) {}
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override;

private:
  std::ostream& m_stream;
};

/// The conversion's messages but its success, as CStreamMessageSink prints them: a set loaded for
/// its calls or for a comparison says nothing more than why it failed.
class CFailureMessages final : public IMessageSink {
public:
  explicit CFailureMessages(std::ostream& err) : m_messages(err) {}
  MessageReply ShowMessage(const Finding& finding, MessageKind kind) override {
    return kind == MessageKind::Information ? MessageReply::Ok
                                            : m_messages.ShowMessage(finding, kind);
  }

private:
  CStreamMessageSink m_messages;
};

/// The whole of dovetrel-convert: \p args are the arguments after the program name. Help and the
/// version go to \p out, every message to \p err. Returns the exit status.
[[nodiscard]] ExitStatus RunCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                        std::ostream& err);

} // namespace dovetrel

#pragma once

#include <string>
#include <string_view>

namespace dovetrel {

/// What a message box looks like and which buttons it offers.
enum class MessageKind {
  Warning,     ///< exclamation mark, OK: every failure
  Information, ///< information icon, OK: the success of a conversion
  Question,    ///< question mark, Yes and No: the exit question
  Error,       ///< stop icon, OK: a read error that ends a command
};

/// The button the operator closed a box with.
enum class MessageReply { Ok, Yes, No };

/// Where a failure was found, handed over beside the operator text so that the author can go
/// straight to the file and line at fault. The operator text itself never changes.
struct MessageDetail {
  std::string strFile; ///< full path of the file concerned; empty when no file is concerned
  int nLine = 0;       ///< 1-based line at fault; 0 when the file as a whole is concerned
  std::string strNote; ///< further words, such as the system's reason; may be empty
};

/// The one way the core reports to the operator: the dialog shows a box, the command line prints a
/// line, tests collect. Every call is synchronous and returns the button that closed the box.
class IMessageSink {
public:
  virtual ~IMessageSink() = default;
  virtual MessageReply ShowMessage(std::string_view text, MessageKind kind,
                                   const MessageDetail& detail) = 0;

  MessageReply ShowMessage(std::string_view text, MessageKind kind) {
    return ShowMessage(text, kind, MessageDetail{});
  }
};

/// The detail as one line: "FILE:LINE: NOTE", leaving out the parts that are empty.
std::string FormatDetail(const MessageDetail& detail);

/// The lower-case name of the kind as the command line prints it ("warning", "information"...).
std::string_view KindName(MessageKind kind);

} // namespace dovetrel

#include "lsp/Protocol.h"

#include "text/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <istream>
#include <ostream>

namespace dovetrel {
namespace {

constexpr std::size_t kMaxHeaderLine = 1024;
constexpr int kMaxHeaderLines = 32;

enum class HeaderLine { Read, End, Broken };

/// The next header line into \p strLine, its "\r\n" removed. End when the input ends before its
/// first byte; Broken when it ends inside the line, or the line is too long to be a header.
HeaderLine ReadHeaderLine(std::istream& in, std::string& strLine) {
  strLine.clear();
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    if (c == '\n') {
      if (!strLine.empty() && strLine.back() == '\r')
        strLine.pop_back();
      return HeaderLine::Read;
    }
    if (strLine.size() == kMaxHeaderLine)
      return HeaderLine::Broken;
    strLine.push_back(static_cast<char>(c));
  }
  return strLine.empty() ? HeaderLine::End : HeaderLine::Broken;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

/// Reads the header; the announced length into \p nLength, or an outcome other than Message.
FrameResult ReadHeader(std::istream& in, std::uint64_t& nLength) {
  std::string strLine;
  bool bLength = false;
  bool bTooLarge = false;
  for (int nLines = 0; nLines <= kMaxHeaderLines; ++nLines) {
    const HeaderLine read = ReadHeaderLine(in, strLine);
    if (read == HeaderLine::End && nLines == 0)
      return FrameResult::End;
    if (read != HeaderLine::Read)
      return FrameResult::Broken;
    if (strLine.empty())
      return bTooLarge ? FrameResult::TooLarge
             : bLength ? FrameResult::Message
                       : FrameResult::Broken;
    const std::size_t nColon = strLine.find(':');
    if (nColon == std::string::npos)
      return FrameResult::Broken;
    if (!EqualsIgnoringCase(Trim(std::string_view(strLine).substr(0, nColon)), "Content-Length"))
      continue;
    const std::string_view value = Trim(std::string_view(strLine).substr(nColon + 1));
    const auto [pEnd, error] = std::from_chars(value.data(), value.data() + value.size(), nLength);
    if (value.empty() || pEnd != value.data() + value.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range))
      return FrameResult::Broken;
    bTooLarge = error == std::errc::result_out_of_range || nLength > kMaxMessageBytes;
    bLength = true;
  }
  return FrameResult::Broken;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

} // namespace

FrameResult ReadFrame(std::istream& in, std::string& strBody) {
  std::uint64_t nLength = 0;
  const FrameResult header = ReadHeader(in, nLength);
  if (header != FrameResult::Message)
    return header;
  strBody.assign(nLength, '\0');
  in.read(strBody.data(), static_cast<std::streamsize>(nLength));
  return static_cast<std::uint64_t>(in.gcount()) == nLength ? FrameResult::Message
                                                            : FrameResult::Broken;
}

void WriteFrame(std::ostream& out, std::string_view body) {
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

std::string PathFromUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() < kScheme.size() || !EqualsIgnoringCase(uri.substr(0, kScheme.size()), kScheme))
    return {};
  uri.remove_prefix(kScheme.size());
  if (uri.starts_with("localhost/"))
    uri.remove_prefix(std::string_view("localhost").size());
  if (!uri.starts_with('/'))
    return {};
  std::string strPath;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && HexValue(uri[i + 1]) >= 0 &&
        HexValue(uri[i + 2]) >= 0) {
      strPath.push_back(static_cast<char>(HexValue(uri[i + 1]) * 16 + HexValue(uri[i + 2])));
      i += 2;
    } else {
      strPath.push_back(uri[i]);
    }
  }
  return strPath;
}

std::string UriFromPath(std::string_view strPath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string strUri = "file://";
  for (const char c : strPath) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || std::string_view("/._~-").find(c) != std::string_view::npos) {
      strUri.push_back(c);
    } else {
      strUri.push_back('%');
      strUri.push_back(kHex[byte >> 4]);
      strUri.push_back(kHex[byte & 0xF]);
    }
  }
  return strUri;
}

std::uint64_t Utf16Position(std::string_view line, std::uint64_t nColumn) {
  const std::uint64_t nBytes = nColumn == 0 ? 0 : std::min<std::uint64_t>(nColumn - 1, line.size());
  std::uint64_t nUnits = 0;
  ForEachCodepoint(line.substr(0, nBytes), [&](auto nCodepoint, std::string_view) {
    nUnits += nCodepoint >= 0x10000 ? 2 : 1;
  });
  return nUnits;
}

std::uint64_t ByteColumn(std::string_view line, std::uint64_t nUnits) {
  std::uint64_t nBytes = 0;
  std::uint64_t nSeen = 0;
  ForEachCodepoint(line, [&](auto nCodepoint, std::string_view sequence) {
    if (nSeen >= nUnits)
      return;
    nSeen += nCodepoint >= 0x10000 ? 2 : 1;
    nBytes += sequence.size();
  });
  return nBytes + 1;
}

std::string_view FindingCodeName(FindingCode code) {
  static constexpr std::array kNames = {"none",
                                        "table-full",
                                        "text-too-long",
                                        "cannot-open-file",
                                        "no-first-line",
                                        "bad-timeout",
                                        "bad-greeting",
                                        "cannot-write-header",
                                        "cannot-write-element",
                                        "cannot-write-end",
                                        "name-missing",
                                        "load-failed",
                                        "convert-failed",
                                        "target-is-scenario",
                                        "read-error",
                                        "cannot-open-folder",
                                        "out-of-memory",
                                        "unexpected",
                                        "cannot-load-module",
                                        "cannot-draw",
                                        "cannot-write-flow",
                                        "cannot-write-call",
                                        "cannot-run-call",
                                        "cannot-write-fix",
                                        "lone-cr-line-ends",
                                        "file-name-not-field",
                                        "form-name-twice",
                                        "timeout-not-number",
                                        "greeting-too-near",
                                        "text-after-word",
                                        "key-not-in-column",
                                        "key-too-long",
                                        "key-not-dialable",
                                        "keyword-not-in-column",
                                        "action-missing",
                                        "keyword-not-lower-case",
                                        "not-a-keyword",
                                        "argument-missing",
                                        "argument-early",
                                        "nested-with-folder",
                                        "table-nearly-full",
                                        "row-never-acts",
                                        "row-left-out",
                                        "row-not-covered",
                                        "greeting-missing",
                                        "greeting-wrong-format",
                                        "call-not-xml",
                                        "call-bad-structure",
                                        "call-bad-value",
                                        "call-broken-reference",
                                        "call-timeout-missing",
                                        "record-not-transcript",
                                        "call-stopped"};
  static_assert(kNames.size() == static_cast<std::size_t>(FindingCode::CallStopped) + 1,
                "every finding code has a name");
  return kNames.at(static_cast<std::size_t>(code));
}

} // namespace dovetrel

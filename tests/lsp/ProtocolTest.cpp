#include "lsp/Protocol.h"
#include "lsp/LanguageServer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace dovetrel {
namespace {

/// \p body as one framed message.
std::string Frame(std::string_view body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

struct FrameCase {
  const char* szName;
  std::string input;
  FrameResult result;
  std::string body; ///< the body read, for a message
  std::string rest; ///< what is left of the input after the read
};

void PrintTo(const FrameCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class LspFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(LspFrames, ReadAsFramed) {
  const FrameCase& c = GetParam();
  std::istringstream in(c.input);
  std::string strBody;
  EXPECT_EQ(ReadFrame(in, strBody), c.result);
  if (c.result == FrameResult::Message) {
    EXPECT_EQ(strBody, c.body);
  }
  in.clear();
  EXPECT_EQ(in.str().substr(std::min<std::size_t>(c.input.size(), in.tellg())), c.rest);
}

const std::string kTooLarge = "Content-Length: 16777217\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Input, LspFrames,
    testing::Values(
        FrameCase{"OneMessage", Frame("{}") + "next", FrameResult::Message, "{}", "next"},
        FrameCase{"AnyCaseAndOtherHeaders",
                  "content-length:  2 \r\nContent-Type: application/vscode-jsonrpc\r\n\r\n{}",
                  FrameResult::Message, "{}", ""},
        FrameCase{"BareLineFeeds", "Content-Length: 2\n\n{}", FrameResult::Message, "{}", ""},
        FrameCase{"EmptyBody", Frame(""), FrameResult::Message, "", ""},
        FrameCase{"EndBetweenMessages", "", FrameResult::End, "", ""},
        FrameCase{"EndInHeader", "Content-Length: 2\r\n", FrameResult::Broken, "", ""},
        FrameCase{"EndInBody", "Content-Length: 5\r\n\r\n{}", FrameResult::Broken, "", ""},
        FrameCase{"NoLength", "Content-Type: x\r\n\r\n{}", FrameResult::Broken, "", "{}"},
        FrameCase{"LengthNotNumber", "Content-Length: 2x\r\n\r\n{}", FrameResult::Broken, "",
                  "\r\n{}"},
        FrameCase{"NoColon", "Content-Length 2\r\n\r\n{}", FrameResult::Broken, "", "\r\n{}"},
        FrameCase{"HeaderLineTooLong", "X: " + std::string(2000, 'a') + "\r\n\r\n{}",
                  FrameResult::Broken, "", std::string(978, 'a') + "\r\n\r\n{}"},
        FrameCase{"LargestLengthIsRead", "Content-Length: 16777216\r\n\r\n{}", FrameResult::Broken,
                  "", ""},
        FrameCase{"TooLargeIsNotRead", kTooLarge + "{}", FrameResult::TooLarge, "", "{}"},
        FrameCase{"LengthPastAnyNumber", "Content-Length: 99999999999999999999999\r\n\r\n{}",
                  FrameResult::TooLarge, "", "{}"}));

struct RunCase {
  const char* szName;
  std::string input;
  /// Each message of the server: "ID ok" or "ID CODE" for a response, the method otherwise.
  std::vector<std::string> answers;
  int nStatus;
};

void PrintTo(const RunCase& c, std::ostream* pOut) {
  *pOut << c.szName;
}

class LspRuns : public testing::TestWithParam<RunCase> {};

TEST_P(LspRuns, AnswerAndEnd) {
  const RunCase& c = GetParam();
  std::istringstream in(c.input);
  std::ostringstream out;
  CLanguageServer server(out);
  EXPECT_EQ(server.Run(in), c.nStatus);
  std::istringstream written(out.str());
  std::vector<std::string> answers;
  for (std::string strBody; ReadFrame(written, strBody) == FrameResult::Message;) {
    const auto message = nlohmann::json::parse(strBody);
    if (message.contains("method"))
      answers.push_back(message["method"]);
    else if (message.contains("error"))
      answers.push_back(message["id"].dump() + " " + message["error"]["code"].dump());
    else
      answers.push_back(message["id"].dump() + " ok");
  }
  EXPECT_EQ(answers, c.answers);
}

const std::string kInitialize = Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize"})");
const std::string kShutdown = Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
const std::string kExit = Frame(R"({"jsonrpc":"2.0","method":"exit"})");

INSTANTIATE_TEST_SUITE_P(
    Sessions, LspRuns,
    testing::Values(
        RunCase{"EndWithoutShutdown", kInitialize, {"1 ok"}, 1},
        RunCase{"EndAfterShutdown", kInitialize + kShutdown, {"1 ok", "2 ok"}, 0},
        RunCase{
            "ExitStopsReading", kInitialize + kShutdown + kExit + kInitialize, {"1 ok", "2 ok"}, 0},
        RunCase{"ExitWithoutShutdown", kInitialize + kExit, {"1 ok"}, 1},
        RunCase{"RequestBeforeInitialize", kShutdown + kInitialize, {"2 -32002", "1 ok"}, 1},
        RunCase{"RequestAfterShutdown",
                kInitialize + kShutdown + kShutdown,
                {"1 ok", "2 ok", "2 -32600"},
                0},
        RunCase{"MalformedJson",
                kInitialize + Frame("{\"id\":3,") + kShutdown,
                {"1 ok", "null -32700", "2 ok"},
                0},
        RunCase{"NotAMessage",
                kInitialize + Frame("[1]") + Frame(R"({"id":[],"method":"x"})"),
                {"1 ok", "null -32600", "null -32600"},
                1},
        RunCase{"UnknownMethod",
                kInitialize + Frame(R"({"jsonrpc":"2.0","id":"h","method":"dovetrel/unknown"})"),
                {"1 ok", "\"h\" -32601"},
                1},
        RunCase{"UnknownNotificationAndResponseIgnored",
                kInitialize + Frame(R"({"jsonrpc":"2.0","method":"$/cancelRequest"})") +
                    Frame(R"({"jsonrpc":"2.0","id":9,"result":null})"),
                {"1 ok"},
                1},
        RunCase{"BadParamsOfNotificationIgnored",
                kInitialize + Frame(R"({"jsonrpc":"2.0","method":"textDocument/didOpen"})"),
                {"1 ok"},
                1},
        RunCase{"TooLargeStopsTheServer",
                kInitialize + kTooLarge + kShutdown,
                {"1 ok", "null -32600"},
                1},
        RunCase{"BrokenHeaderStopsTheServer",
                kInitialize + "Content-Length: x\r\n\r\n" + kShutdown,
                {"1 ok", "null -32700"},
                1}));

TEST(LspUris, MapToPathsAndBack) {
  EXPECT_EQ(PathFromUri("file:///s/%D0%81%d0%b6%20a.ivr"), "/s/Ёж a.ivr");
  EXPECT_EQ(PathFromUri("file://localhost/s/a.ivr"), "/s/a.ivr");
  EXPECT_EQ(PathFromUri("untitled:Untitled-1"), "");
  EXPECT_EQ(PathFromUri("file://host/s/a.ivr"), "");
  EXPECT_EQ(UriFromPath("/s/Ёж a+b.ivr"), "file:///s/%D0%81%D0%B6%20a%2Bb.ivr");
}

} // namespace
} // namespace dovetrel

namespace dovetrel {
namespace {

// Columns and UTF-16 positions map to each other at every character's start, across one-, two-,
// three- and four-byte characters and a byte that starts no sequence.
TEST(LspPositions, ByteColumnsAndUtf16AreInverse) {
  const std::string line = "1 a\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80\xFFz";
  const std::vector<std::uint64_t> starts = {1, 2, 3, 4, 6, 9, 13, 14, 15};
  const std::vector<std::uint64_t> units = {0, 1, 2, 3, 4, 5, 7, 8, 9};
  for (std::size_t i = 0; i < starts.size(); ++i) {
    EXPECT_EQ(Utf16Position(line, starts[i]), units[i]) << starts[i];
    EXPECT_EQ(ByteColumn(line, units[i]), starts[i]) << units[i];
  }
  EXPECT_EQ(ByteColumn(line, 6), 13U); // inside the surrogate pair: after the character
  EXPECT_EQ(ByteColumn(line, 99), line.size() + 1);
}

} // namespace
} // namespace dovetrel

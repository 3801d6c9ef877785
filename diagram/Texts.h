#pragma once

#include <string_view>

/// The words a call-flow diagram shows.
namespace dovetrel::text {

inline constexpr std::string_view kNoInputEdge = "нет ввода";
inline constexpr std::string_view kFaxEdge = "факс";
inline constexpr std::string_view kBusyEdge = "занято";
inline constexpr std::string_view kInertEdge = "не сработает";
inline constexpr std::string_view kGreetingMark = "♪ ";
inline constexpr std::string_view kTimeoutLine = "ожидание ";
inline constexpr std::string_view kDialLine = "набор";
inline constexpr std::string_view kNoNumber = "(номер не указан)";
inline constexpr std::string_view kHangupNode = "отбой";
inline constexpr std::string_view kMissingMenu = "(файл не прочитан)";
inline constexpr std::string_view kKeyWord = "клавиша ";
inline constexpr std::string_view kLineWord = "строка ";
/// Put between an arrow's key and the number of recorded calls that took its row: "1 ×3".
inline constexpr std::string_view kHitsMark = " ×";
/// A dial's line of the calls that went unanswered there: "нет ответа ×2".
inline constexpr std::string_view kNoAnswerLine = "нет ответа";
/// What a row with an unknown action word means for the author; the checks of its line say more.
inline constexpr std::string_view kUnknownKeyword =
    "ключевое слово не распознано (не menu, dial или disconnect): строка не сработает";

} // namespace dovetrel::text

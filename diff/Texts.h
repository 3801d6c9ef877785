#pragma once

#include <string_view>

/// The texts of dovetrel-diff: what changes for callers.
namespace dovetrel::text {

/// "2 1: набор 104 → набор 105": the events, then what callers got before and get now.
inline constexpr std::string_view kChangeArrow = " → ";
inline constexpr std::string_view kCallStart = "начало звонка";
inline constexpr std::string_view kStepMenu = "меню ";
inline constexpr std::string_view kStepDial = "набор ";
inline constexpr std::string_view kStepDialNoNumber = "набор без номера";
inline constexpr std::string_view kStepHangup = "отбой";
inline constexpr std::string_view kAdded = "новый пункт: ";
inline constexpr std::string_view kRemoved = "пункт убран (было: ";
inline constexpr std::string_view kGreeting = "приветствие ";
inline constexpr std::string_view kNoGreeting = "без приветствия";
inline constexpr std::string_view kTimeout = "ожидание ";
/// "tv.ivr: меню больше недостижимо (было: 3)"
inline constexpr std::string_view kMenuGone = "меню больше недостижимо (было: ";
/// "billing.ivr: меню стало достижимо: 4"
inline constexpr std::string_view kMenuNew = "меню стало достижимо: ";

/// Rows that start or stop acting, after the change they make.
inline constexpr std::string_view kRowInert = "строка не действует: ";
inline constexpr std::string_view kRowStarts = "строка начинает действовать; раньше: ";
inline constexpr std::string_view kRowStops = " больше не действует: ";
inline constexpr std::string_view kLineWord = "строка ";
inline constexpr std::string_view kUnknownKeyword = "действие строки не распознано";
inline constexpr std::string_view kKeyTaken = "клавишу занимает строка ";
inline constexpr std::string_view kSecondNoInput = "отсутствие ввода задаёт строка ";
inline constexpr std::string_view kBusyServesNoDial =
    "строка занятости не служит ни одному переводу";

/// Reading a revision through git.
inline constexpr std::string_view kGitNotRun = "не удалось запустить git: ";
inline constexpr std::string_view kGitNoAnswer = "git не выдал файл";

} // namespace dovetrel::text

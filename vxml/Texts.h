#pragma once

#include <string_view>

/// The VoiceXML writer's operator texts, one per stage that can fail.
namespace dovetrel::text {

inline constexpr std::string_view kCannotWriteHeader =
    "Невозможно записать заголовок файла сценария VoiceXML!";
inline constexpr std::string_view kCannotWriteElement = "Ошибка записи элемента сценария VoiceXML!";
inline constexpr std::string_view kCannotWriteEnd =
    "Невозможно записать окончание файла сценария VoiceXML!";

} // namespace dovetrel::text

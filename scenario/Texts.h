#pragma once

#include <string_view>

/// The reader's operator texts, exactly as the operators know them.
namespace dovetrel::text {

inline constexpr std::string_view kTableFull = "Файл сценария IVR имеет очень большой размер!";
inline constexpr std::string_view kTextTooLong =
    "Имя файла в сценарии IVR имеет очень большой размер!";
inline constexpr std::string_view kCannotOpenIvr = "Не удалось открыть файл сценария IVR!";
inline constexpr std::string_view kNoLineInIvr = "Ошибка чтения информации из файла сценария IVR!";
inline constexpr std::string_view kBadTimeout =
    "Формат файла сценария IVR не верен (ошибка задания времени ожидания)!";
inline constexpr std::string_view kBadGreeting =
    "Формат файла сценария IVR не верен (имя аудио файла приветствия)!";

} // namespace dovetrel::text

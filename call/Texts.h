#pragma once

#include <string_view>

/// The call simulator's texts for the operator.
namespace dovetrel::text {

inline constexpr std::string_view kRecordIsScenario =
    "Файл записи звонка совпадает с файлом сценария IVR и не может быть перезаписан!";
inline constexpr std::string_view kCannotWriteRecord = "Не удалось записать файл звонка!";
// The caller's paths (dovetrel-call --paths).
inline constexpr std::string_view kPathToDial = "до набора ";
inline constexpr std::string_view kPathNoNumber = "до набора без номера";
inline constexpr std::string_view kPathToHangup = "до отбоя";
inline constexpr std::string_view kPathUnreachable = "звонок сюда не доходит";
inline constexpr std::string_view kPathListen = "прослушать ";
inline constexpr std::string_view kPathAtLeast = "не менее ";
inline constexpr std::string_view kPathUnknownLength = " — длительность неизвестна";
inline constexpr std::string_view kPathWait = "ждать ";
inline constexpr std::string_view kSeconds = " с";
inline constexpr std::string_view kCannotRunCall =
    "Не удалось выполнить документ VoiceXML для проверки звонка!";

} // namespace dovetrel::text

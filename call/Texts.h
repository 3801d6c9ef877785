#pragma once

#include <string_view>

/// The call simulator's texts for the operator.
namespace dovetrel::text {

inline constexpr std::string_view kRecordIsScenario =
    "Файл записи звонка совпадает с файлом сценария IVR и не может быть перезаписан!";
inline constexpr std::string_view kCannotWriteRecord = "Не удалось записать файл звонка!";
inline constexpr std::string_view kCannotRunCall =
    "Не удалось выполнить документ VoiceXML для проверки звонка!";

} // namespace dovetrel::text

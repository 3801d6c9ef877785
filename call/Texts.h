#pragma once

#include <string_view>

/// The call simulator's texts for the operator.
namespace dovetrel::text {

inline constexpr std::string_view kRecordIsScenario =
    "Файл записи звонка совпадает с файлом сценария IVR и не может быть перезаписан!";
inline constexpr std::string_view kCannotWriteRecord = "Не удалось записать файл звонка!";
inline constexpr std::string_view kCannotRunCall =
    "Не удалось выполнить документ VoiceXML для проверки звонка!";
inline constexpr std::string_view kCannotReadRecord = "Не удалось прочитать запись звонка!";
inline constexpr std::string_view kRecordUnknownWord =
    "Строка записи звонка начинается не со слова хода звонка (menu, play, wait, press, silence, "
    "fax, dial, answer, busy, noanswer, hangup)!";
inline constexpr std::string_view kRecordAfterHangup =
    "Строка записи звонка стоит после hangup: звонок на нём окончен!";
inline constexpr std::string_view kLcovIsSetFile =
    "Файл покрытия совпадает с файлом сценария IVR или записью звонка и не может быть "
    "перезаписан!";
inline constexpr std::string_view kCannotWriteLcov = "Не удалось записать файл покрытия звонками!";
inline constexpr std::string_view kRowNotCovered = "строка не проверена ни одним звонком";

} // namespace dovetrel::text

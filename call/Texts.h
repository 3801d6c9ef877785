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
/// The ends no row gives: a busy number without a busy row, a key and no input no row answers.
inline constexpr std::string_view kPathBusyEnd = "до отбоя при занятом ";
inline constexpr std::string_view kPathBusyNoNumber = "до отбоя при занятом наборе без номера";
inline constexpr std::string_view kPathNoKeyEnd = "до отбоя на клавишу без действия";
inline constexpr std::string_view kPathNoInputEnd = "до отбоя без ввода";
inline constexpr std::string_view kPathListen = "прослушать ";
inline constexpr std::string_view kPathAtLeast = "не менее ";
inline constexpr std::string_view kPathUnknownLength = " — длительность неизвестна";
inline constexpr std::string_view kPathWait = "ждать ";
inline constexpr std::string_view kSeconds = " с";
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
/// A recorded call that went otherwise this time: the record's place and lines follow, then the
/// document it ran on.
inline constexpr std::string_view kCallDiffers = "звонок расходится с записью ";
inline constexpr std::string_view kInClassicDocument = " (документ classic)";
inline constexpr std::string_view kInW3cDocument = " (документ w3c)";
inline constexpr std::string_view kNoAnswerNotCovered =
    "исход «нет ответа» (noanswer) этого перевода не проверен ни одним звонком";
/// The summary's count of no-answer outcomes after the rows' (", исходов «нет ответа»: 1 из 2").
inline constexpr std::string_view kNoAnswersCovered = ", исходов «нет ответа»: ";

/// Generated calls (dovetrel-call --cover).
inline constexpr std::string_view kMenuNeverReached =
    "ни один звонок не доходит из главного меню до меню этой строки: она не сработает";
inline constexpr std::string_view kCoverFolderNotWritable = "нельзя писать в каталог записей";
inline constexpr std::string_view kCoverIdle = "звонка для строки нет: ";
inline constexpr std::string_view kCoverRecordKept = "запись уже есть, оставлена как есть";
/// "записано N звонков (не меньше M: столько исходов завершают звонок)", the word after N agreeing.
inline constexpr std::string_view kCoverWritten = "записано";
inline constexpr std::string_view kCoverCallForms[] = {"звонок", "звонка", "звонков"};
inline constexpr std::string_view kCoverOf = "из";
inline constexpr std::string_view kCoverBound = "не меньше";
inline constexpr std::string_view kCoverBoundWhy = "столько исходов завершают звонок";

} // namespace dovetrel::text

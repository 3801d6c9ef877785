#pragma once

#include <string_view>

/// The operator texts of the conversion command and the dialog.
namespace dovetrel::text {

inline constexpr std::string_view kNameMissing =
    "Не указано имя файла сценария IVR или файла сценария VoiceXML!";
inline constexpr std::string_view kLoadFailed =
    "Не удалось загрузить указанный сценарий IVR или вложенный в него сценарий!";
inline constexpr std::string_view kConvertFailed =
    "Не удалось сконвертировать сценарий IVR в сценарий VoiceXML!";
inline constexpr std::string_view kConverted =
    "Файл сценария IVR успешно преобразован в сценарий VoiceXML!";
inline constexpr std::string_view kExitQuestion =
    "Вы действительно хотите выйти из программы Dovetrel?";

inline constexpr std::string_view kDialogCaption = "Dovetrel";
inline constexpr std::string_view kIvrLabel = "Файл сценария IVR:";
inline constexpr std::string_view kVxmlLabel = "Файл сценария VoiceXML:";
inline constexpr std::string_view kBrowse = "...";
inline constexpr std::string_view kConvert = "Конвертировать";
inline constexpr std::string_view kExit = "Выход";
/// The maker's notice; the version is appended.
inline constexpr std::string_view kNotice = "© Разработчики Dovetrel. Dovetrel, версия ";
/// The choosers' single filter entries.
inline constexpr std::string_view kIvrFilter = "Scenario IVR (*.ivr)";
inline constexpr std::string_view kVxmlFilter = "Scenario VoiceXML (*.vxml)";
inline constexpr std::string_view kVxmlSuffix = "vxml";
/// The buttons of every box, whatever Qt's own translation offers.
inline constexpr std::string_view kYes = "Да";
inline constexpr std::string_view kNo = "Нет";
inline constexpr std::string_view kOk = "OK";

} // namespace dovetrel::text

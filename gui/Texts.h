#pragma once

#include <string_view>

/// The dialog's own texts.
namespace dovetrel::text {

inline constexpr std::string_view kExitQuestion =
    "Вы действительно хотите выйти из программы Dovetrel?";

inline constexpr std::string_view kDialogCaption = "Dovetrel";
/// The labels and buttons; '&' marks the Alt+letter that reaches them (the field for a label).
inline constexpr std::string_view kIvrLabel = "Файл сценария &IVR:";
inline constexpr std::string_view kVxmlLabel = "Файл сценария &VoiceXML:";
inline constexpr std::string_view kBrowse = "...";
/// The dialects the document can be written in, as the choice beside the VoiceXML field names them.
inline constexpr std::string_view kDialectClassic = "Платформа";
inline constexpr std::string_view kDialectW3c = "W3C VoiceXML 2.1";
inline constexpr std::string_view kDialectTip =
    "Вид документа VoiceXML: для платформы, как она его ожидает, или стандартный W3C VoiceXML 2.1 "
    "для любого голосового браузера";
inline constexpr std::string_view kConvert = "&Конвертировать";
inline constexpr std::string_view kExit = "&Выход";
/// The maker's notice; the version is appended.
inline constexpr std::string_view kNotice = "© Разработчики Dovetrel. Dovetrel, версия ";
/// The choosers' single filter entries.
inline constexpr std::string_view kIvrFilter = "Scenario IVR (*.ivr)";
inline constexpr std::string_view kVxmlFilter = "Scenario VoiceXML (*.vxml)";
inline constexpr std::string_view kVxmlSuffix = "vxml";
/// The success box: the document written, the number of warnings, and the button that shows the
/// document's folder.
inline constexpr std::string_view kWrittenDocument = "Файл сценария VoiceXML: ";
inline constexpr std::string_view kWarningCount = "Предупреждений: ";
inline constexpr std::string_view kOpenFolder = "&Открыть папку";
inline constexpr std::string_view kCannotOpenFolder =
    "Не удалось открыть папку с файлом сценария VoiceXML!";
/// The buttons of every box, whatever Qt's own translation offers.
inline constexpr std::string_view kYes = "Да";
inline constexpr std::string_view kNo = "Нет";
inline constexpr std::string_view kOk = "OK";

} // namespace dovetrel::text

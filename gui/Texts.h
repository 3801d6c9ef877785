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
/// The call-flow window: its caption (the IVR file's name and the scale are appended), its buttons,
/// the chooser's filter entry and what a file name with another suffix is told.
inline constexpr std::string_view kShowFlow = "&Схема…";
inline constexpr std::string_view kFlowCaption = "Схема звонка — ";
inline constexpr std::string_view kZoomIn = "Крупнее";
inline constexpr std::string_view kZoomOut = "Мельче";
inline constexpr std::string_view kFitToWindow = "По размеру окна";
inline constexpr std::string_view kSaveFlowAs = "Сохранить как…";
inline constexpr std::string_view kFlowFilter = "Схема звонка (*.svg *.png *.pdf)";
inline constexpr std::string_view kFlowFormats =
    "Схему звонка можно сохранить только в файл SVG, PNG или PDF!";
/// The call window: its caption (the IVR file's name is appended), the events' buttons, the
/// button that starts over, the one that saves the call with its chooser's filter entry, and the
/// line that tells a document's fault.
inline constexpr std::string_view kCheckCall = "Проверить &звонок…";
inline constexpr std::string_view kCallCaption = "Проверка звонка — ";
inline constexpr std::string_view kSilence = "Тишина";
inline constexpr std::string_view kFax = "Факс";
inline constexpr std::string_view kAnswer = "Ответ";
inline constexpr std::string_view kBusy = "Занято";
inline constexpr std::string_view kNoAnswer = "Нет ответа";
inline constexpr std::string_view kRestart = "Сначала";
inline constexpr std::string_view kSaveCall = "Сохранить звонок…";
inline constexpr std::string_view kCallFilter = "Запись звонка (*.txt)";
inline constexpr std::string_view kCallFault = "ошибка: ";
/// The call window's coverage: the check box that shows on the call flow how the records in the
/// set's calls/ folder cover its rows, the button that writes generated calls there, and what
/// either says when it cannot.
inline constexpr std::string_view kShowCoverage = "Покрытие звонками";
inline constexpr std::string_view kCoverCalls = "Покрыть звонками…";
inline constexpr std::string_view kCallsDiffer =
    "Звонки расходятся со своими записями в папке calls; покрытие показано по звонкам, как они "
    "прошли.";
inline constexpr std::string_view kCannotCountCalls =
    "Не удалось выполнить документ VoiceXML для записей звонков!";
inline constexpr std::string_view kCannotCover = "Не удалось записать звонки в папку calls!";
/// The buttons of every box, whatever Qt's own translation offers.
inline constexpr std::string_view kYes = "Да";
inline constexpr std::string_view kNo = "Нет";
inline constexpr std::string_view kOk = "OK";

} // namespace dovetrel::text

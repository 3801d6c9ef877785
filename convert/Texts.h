#pragma once

#include <string_view>

/// The operator texts of the conversion command.
namespace dovetrel::text {

inline constexpr std::string_view kNameMissing =
    "Не указано имя файла сценария IVR или файла сценария VoiceXML!";
inline constexpr std::string_view kLoadFailed =
    "Не удалось загрузить указанный сценарий IVR или вложенный в него сценарий!";
inline constexpr std::string_view kConvertFailed =
    "Не удалось сконвертировать сценарий IVR в сценарий VoiceXML!";
inline constexpr std::string_view kTargetIsScenario =
    "Файл сценария VoiceXML совпадает с файлом сценария IVR и не может быть перезаписан!";
inline constexpr std::string_view kConverted =
    "Файл сценария IVR успешно преобразован в сценарий VoiceXML!";

inline constexpr std::string_view kFlowWritten = "Схема звонка по сценарию IVR записана!";
inline constexpr std::string_view kFlowTargetIsScenario =
    "Файл схемы совпадает с файлом сценария IVR и не может быть перезаписан!";
inline constexpr std::string_view kCannotLoadModule =
    "Не удалось загрузить модуль рисования схем dovetrel-graphviz.so!";
inline constexpr std::string_view kCannotDraw = "Не удалось нарисовать схему звонка!";
inline constexpr std::string_view kCannotWriteFlow = "Не удалось записать файл схемы звонка!";
inline constexpr std::string_view kCannotWriteFix =
    "Не удалось записать исправленный файл сценария!";

/// The greetings' sound files, as --check finds them; each text follows "приветствие «NAME»".
inline constexpr std::string_view kGreetingMissing =
    ": звукового файла с таким именем нет рядом со сценарием, звонок его не проиграет";
inline constexpr std::string_view kGreetingWrongFormat =
    " — не телефонный звук: линия проигрывает 8 кГц, моно, PCM, µ-law или A-law; перекодируйте "
    "файл";
inline constexpr std::string_view kGreetingNotAudio = ": файл не читается как звук";

/// Shown when a command runs out of memory; every other exception brings its own text.
inline constexpr std::string_view kOutOfMemory = "Недостаточно памяти для выполнения команды!";

} // namespace dovetrel::text

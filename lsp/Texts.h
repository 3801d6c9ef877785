#pragma once

#include <string_view>

/// The language server's texts: its error responses and the marks it adds to a set's lines.
namespace dovetrel::text {

inline constexpr std::string_view kLspTooLarge =
    "Сообщение длиннее 16 МиБ не принимается; сервер остановлен.";
inline constexpr std::string_view kLspBrokenFrame =
    "Заголовок сообщения не читается или сообщение оборвано; сервер остановлен.";
inline constexpr std::string_view kLspParseError = "Сообщение не является JSON";
inline constexpr std::string_view kLspInvalidRequest = "Сообщение не является запросом JSON-RPC";
inline constexpr std::string_view kLspMethodNotFound = "Неизвестный метод: ";
inline constexpr std::string_view kLspNotInitialized = "Сервер ещё не получил initialize";
inline constexpr std::string_view kLspShutDown = "Сервер уже получил shutdown";
inline constexpr std::string_view kLspInvalidParams = "Неверные параметры запроса";
inline constexpr std::string_view kLspInternalError = "Внутренняя ошибка сервера: ";
inline constexpr std::string_view kLspUnknownFile = "Файл не открыт в редакторе: ";
/// The title of a quick fix, before the finding's text.
inline constexpr std::string_view kLspFix = "Исправить: ";
/// Before a nested file's problem shown on the menu line that names it: "файл NAME, строка N: ".
inline constexpr std::string_view kLspInFile = "файл ";
inline constexpr std::string_view kLspAtLine = ", строка ";

/// Navigation: why a rename is refused, and the words of the outline and of completion.
inline constexpr std::string_view kLspRenameMain =
    "Главный файл набора не переименовывается: его имя знают не только строки меню";
inline constexpr std::string_view kLspRenameNoFile = "Этого файла нет в наборе: ";
inline constexpr std::string_view kLspRenameEmpty = "Новое имя файла пусто";
inline constexpr std::string_view kLspRenameNotPlain =
    "Новое имя должно быть именем файла .ivr без папки и пробелов, до первой точки — буквы, "
    "цифры и «_»: ";
inline constexpr std::string_view kLspRenameTooLong =
    "Новое имя не уместится в строке таблицы: не больше 63 знаков, до первой точки не больше 57: ";
inline constexpr std::string_view kLspRenameNotAscii =
    "Набор записан в Windows-1251: новое имя в UTF-8 испортило бы его; возьмите латинское имя: ";
inline constexpr std::string_view kLspRenameTaken = "Файл с таким именем уже есть: ";
inline constexpr std::string_view kLspRenameFormTaken =
    "Это имя даёт ту же форму, что и другой файл набора: ";
inline constexpr std::string_view kLspRenameUnread =
    "Набор прочитан не весь: проверка остановилась раньше файла, строки меню которого не были бы "
    "исправлены; исправьте ошибки набора: ";
inline constexpr std::string_view kLspHeader = "тайм-аут и приветствие";
inline constexpr std::string_view kLspNoKey = "без клавиши";
inline constexpr std::string_view kLspKey = "клавиша ";
inline constexpr std::string_view kLspOutlineNoInput = "нет ввода";
inline constexpr std::string_view kLspOutlineBusy = "занято";
inline constexpr std::string_view kLspOutlineFax = "факс";
inline constexpr std::string_view kLspOutlineMenu = "переход в меню";
inline constexpr std::string_view kLspOutlineDial = "перевод на номер";
inline constexpr std::string_view kLspDisconnect = "конец звонка";
inline constexpr std::string_view kLspUnknownAction = "действие не распознано: строка не сработает";
inline constexpr std::string_view kLspScenarioFile = "файл сценария";

// What a hover shows of a row or a menu.
inline constexpr std::string_view kLspMenu = "меню ";
inline constexpr std::string_view kLspMenuTitle = "Меню ";
inline constexpr std::string_view kLspGreeting = ": приветствие ";
inline constexpr std::string_view kLspTimeout = ", ожидание ";
inline constexpr std::string_view kLspSeconds = " с";
inline constexpr std::string_view kLspNotRead = " (файл не прочитан)";
inline constexpr std::string_view kLspDial = "набор ";
inline constexpr std::string_view kLspNoNumber = "набор без номера";
inline constexpr std::string_view kLspHangup = "отбой";
inline constexpr std::string_view kLspWhenBusy = " (занято: ";
inline constexpr std::string_view kLspBusyUnknown = "отбой: строка занятости не распознана";
inline constexpr std::string_view kLspNoInput = " (нет ввода)";
inline constexpr std::string_view kLspFax = " (факс)";
inline constexpr std::string_view kLspBusy = " (занято)";
inline constexpr std::string_view kLspAfterDial = " — после набора в строке ";
inline constexpr std::string_view kLspNoInputStep = "нет ввода";
inline constexpr std::string_view kLspNeverActs = "**Не сработает.** ";
inline constexpr std::string_view kLspMainMenu = "Главное меню набора.";
inline constexpr std::string_view kLspFromMain = "Из главного меню: ";
inline constexpr std::string_view kLspUnreached = "Из главного меню не достигается.";
/// The title of the code action that applies every fix of a file at once.
inline constexpr std::string_view kLspFixAll = "Исправить всё в файле";
/// The title of the quick fix that creates a nested file a menu names, before its name.
inline constexpr std::string_view kLspCreateFile = "Создать файл ";

} // namespace dovetrel::text

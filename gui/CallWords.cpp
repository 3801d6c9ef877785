#include "gui/CallWords.h"

#include "call/Transcript.h"

#include <algorithm>
#include <array>
#include <utility>

namespace dovetrel {

namespace {

/// The window's word for each transcript word.
constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kShownWords{{
    {word::kMenu, "Меню"},
    {word::kPlay, "Приветствие"},
    {word::kWait, "Ожидание"},
    {word::kPress, "Нажата"},
    {word::kSilence, "Тишина"},
    {word::kFax, "Факс"},
    {word::kDial, "Набор"},
    {word::kAnswer, "Ответ"},
    {word::kBusy, "Занято"},
    {word::kNoAnswer, "Нет ответа"},
    {word::kHangup, "Отбой"},
}};

/// A timeout as the document writes it ("10s") in seconds as the window says them ("10 с"); any
/// other text as it is.
std::string ShownTimeout(std::string_view timeout) {
  if (timeout.size() < 2 || timeout.back() != 's' ||
      !std::all_of(timeout.begin(), timeout.end() - 1, [](char c) { return c >= '0' && c <= '9'; }))
    return std::string(timeout);
  return std::string(timeout.substr(0, timeout.size() - 1)) + " с";
}

} // namespace

std::string ShownCallStep(std::string_view line) {
  const std::size_t nSpace = line.find(' ');
  const std::string_view word = line.substr(0, nSpace);
  const std::string_view text =
      nSpace == std::string_view::npos ? std::string_view() : line.substr(nSpace + 1);
  const auto* pShown = std::find_if(kShownWords.begin(), kShownWords.end(),
                                    [&](const auto& shown) { return shown.first == word; });
  if (pShown == kShownWords.end())
    return std::string(line);
  std::string strShown(pShown->second);
  if (nSpace != std::string_view::npos) {
    strShown += ' ';
    strShown += word == word::kWait ? ShownTimeout(text) : std::string(text);
  }
  return strShown;
}

} // namespace dovetrel

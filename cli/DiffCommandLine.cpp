#include "cli/DiffCommandLine.h"

#include "call/CallSetup.h"
#include "cli/CommandLine.h"
#include "cli/Options.h"
#include "convert/FlowCommand.h"
#include "convert/Texts.h"
#include "diff/CallDiff.h"
#include "vxml/XmlOutput.h"

#include <optional>
#include <ostream>

namespace dovetrel {

namespace {

constexpr const char* kProgram = "dovetrel-diff";

constexpr const char* kHelp = R"(Использование:
  dovetrel-diff [--flow FILE] OLD_IVR NEW_IVR
  dovetrel-diff [--flow FILE] --git REV IVR_FILE
  dovetrel-diff --help | --version

Сравнивает две версии сценария IVR так, как их встречает звонящий: для
каждой последовательности нажатий из главного меню (каждый цикл проходится
один раз) — меню, в которое она приводит, с его приветствием и временем
ожидания, набор номера или отбой, исход «занято». Каждый набор файлов
читается, как при преобразовании, в своей кодировке.

Выводит по изменению в строке, в стиле компилятора — у строки нового
сценария (у строки старого, если пункт убран):
  main.ivr:3:1: 2 1: набор 104 → набор 105
  main.ivr:5:1: 4: новый пункт: меню billing.ivr
  tv.ivr: меню больше недостижимо (было: 3)

%OPTIONS%

Коды завершения, как у diff: 0 — для звонящих ничего не изменилось (что бы
ни показывало сравнение текстов); 1 — изменилось; 2 — неверный вызов,
сценарий не загружается (сообщения преобразования — в стандартный поток
ошибок) или схему нельзя записать.
)";

/// What the command line asked for.
struct Invocation {
  std::vector<std::string>
      vecFiles; ///< the old set's main file and the new one's, or with --git the one
  std::optional<std::string> revision; ///< --git REV
  std::optional<std::string> flowFile; ///< --flow FILE
};

/// Declares the options into \p call; returns what they get wrong together.
std::function<std::string()> Declare(CCommandLine& line, Invocation& call) {
  line.add_option("IVR_FILE", call.vecFiles)->required();
  line.AddValue("--git", call.revision, "REV", "ревизия git",
                "сравнить IVR_FILE в рабочем каталоге с тем же набором\n"
                "файлов в ревизии REV репозитория git (файлы читаются\n"
                "через git, ничего не извлекается)",
                [](const std::string& strRevision) -> std::string {
                  if (strRevision.empty() || strRevision.front() == '-')
                    return "--git: нужна ревизия git, а не «" + strRevision + "»";
                  return "";
                });
  line.AddValue("--flow", call.flowFile, "FILE", "имя файла схемы",
                "записать в FILE схему звонка нового сценария, на которой\n"
                "отмечены новые, изменённые и убранные стрелки; формат по\n"
                "расширению: .svg, .png, .pdf, .dot",
                [](const std::string& strFlow) -> std::string {
                  const std::optional<FlowFormat> format = FlowFormatOfPath(strFlow);
                  return format && IsDrawnFormat(*format)
                             ? ""
                             : "неизвестный формат схемы " + strFlow +
                                   ": расширение должно быть .svg, .png, .pdf или .dot";
                });
  return [&call]() -> std::string {
    const std::size_t nWanted = call.revision ? 1 : 2;
    if (call.vecFiles.size() < nWanted)
      return call.revision ? "не указан файл сценария IVR"
                           : "нужны два файла сценария: OLD_IVR NEW_IVR";
    return call.vecFiles.size() > nWanted ? "лишний аргумент " + call.vecFiles[nWanted] : "";
  };
}

/// The arrows \p changes make on the new flow: new and changed ones at their rows, removed ones
/// from the menu or the dial the event is taken at.
DiagramMarks MarksOf(const std::vector<CallChange>& changes) {
  DiagramMarks marks;
  for (const CallChange& change : changes) {
    if (change.topic != ChangeTopic::Step)
      continue;
    if (change.shape != ChangeShape::Removed) {
      marks.arrows.push_back(MarkedArrow{change.place, change.shape == ChangeShape::Added
                                                           ? DiagramMark::Added
                                                           : DiagramMark::Changed});
      continue;
    }
    marks.removed.push_back(RemovedArrow{change.nMenu, change.dialRow, change.events.back(),
                                         change.strOld, FormatChange(change)});
  }
  return marks;
}

/// Draws \p newer's flow with the arrows \p changes make marked into \p strPath; false, said on
/// \p err, when it cannot.
bool DrawChanges(const CallSet& newer, const std::vector<CallChange>& changes,
                 const std::string& strPath, std::ostream& err) {
  CStreamMessageSink messages(err);
  const DiagramMarks marks = MarksOf(changes);
  std::string strBytes;
  if (!MakeFlowBytes(newer.flow, newer.strEncoding, *FlowFormatOfPath(strPath), strBytes, messages,
                     &marks))
    return false;
  std::vector<std::string> setFiles;
  for (const FlowMenu& menu : newer.flow.menus)
    setFiles.push_back(menu.strPath);
  return WriteSideFile(strPath, strBytes, setFiles,
                       {FindingCode::TargetIsScenario, text::kFlowTargetIsScenario,
                        FindingCode::CannotWriteFlow, text::kCannotWriteFlow},
                       messages);
}

DiffExitStatus RunDiff(const Invocation& call, IGitRunner& git, std::ostream& out,
                       std::ostream& err) {
  std::optional<CRevisionFiles> revision;
  if (call.revision)
    revision.emplace(*call.revision, git);
  const std::string& strOld = call.vecFiles.front();
  const std::string& strNew = call.vecFiles.back();
  CFailureMessages messages(err);
  const std::optional<CallSet> older =
      ReadSetForDiff(strOld, messages, revision ? &*revision : nullptr);
  if (!older)
    return DiffExitStatus::Trouble;
  const std::optional<CallSet> newer = ReadSetForDiff(strNew, messages);
  if (!newer)
    return DiffExitStatus::Trouble;
  const std::vector<CallChange> changes =
      CompareCallFlows({older->flow, older->strEncoding}, {newer->flow, newer->strEncoding});
  for (const CallChange& change : changes)
    out << FormatChange(change) << '\n';
  if (call.flowFile && !DrawChanges(*newer, changes, *call.flowFile, err))
    return DiffExitStatus::Trouble;
  return changes.empty() ? DiffExitStatus::Same : DiffExitStatus::Differs;
}

} // namespace

DiffExitStatus RunDiffCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                  std::ostream& err, IGitRunner& git) {
  Invocation call;
  CCommandLine line(kProgram, kHelp);
  if (const auto status = line.Read(args, out, err, Declare(line, call)))
    return *status == 0 ? DiffExitStatus::Same : DiffExitStatus::Trouble;
  SilenceLibXmlReports(); // every failure reaches standard error once, as a message line
  DiffExitStatus status = DiffExitStatus::Trouble;
  CStreamMessageSink messages(err);
  const bool bFinished = ReportExceptions(messages, [&] { status = RunDiff(call, git, out, err); });
  out.flush();
  return bFinished ? status : DiffExitStatus::Trouble;
}

} // namespace dovetrel

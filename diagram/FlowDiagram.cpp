#include "diagram/FlowDiagram.h"

#include "diagram/DiagramModule.h"
#include "diagram/FlowText.h"
#include "scenario/Paths.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <map>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace dovetrel {

namespace {

/// The module's place below the directory of the running program.
constexpr std::string_view kModuleDirectory = "../lib/dovetrel/";

std::string LowerAscii(std::string_view text) {
  std::string strOut(text);
  for (char& c : strOut)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return strOut;
}

/// The module's table from an open handle; null, with the reason, when it is not ours or of
/// another version.
const DiagramModuleApi* FindApi(void* pHandle, std::string& strReason) {
  using Entry = const DiagramModuleApi* (*)();
  dlerror();
  auto entry = reinterpret_cast<Entry>(dlsym(pHandle, kDiagramModuleEntry));
  if (!entry) {
    const char* szError = dlerror();
    strReason = szError ? szError : "no entry point";
    return nullptr;
  }
  const DiagramModuleApi* pApi = entry();
  if (!pApi || pApi->nVersion != kDiagramModuleVersion || !pApi->pRender) {
    strReason = "the module is of another version of Dovetrel";
    return nullptr;
  }
  return pApi;
}

} // namespace

std::optional<FlowFormat> FlowFormatOfPath(std::string_view path) {
  static const std::map<std::string, FlowFormat, std::less<>> kSuffixes = {
      {".svg", FlowFormat::Svg}, {".png", FlowFormat::Png},   {".pdf", FlowFormat::Pdf},
      {".dot", FlowFormat::Dot}, {".json", FlowFormat::Json},
  };
  const std::string_view name = FileNameOf(path);
  const std::size_t nDot = name.rfind('.');
  if (nDot == std::string_view::npos)
    return std::nullopt;
  const auto it = kSuffixes.find(LowerAscii(name.substr(nDot)));
  if (it == kSuffixes.end())
    return std::nullopt;
  return it->second;
}

bool IsDrawnFormat(FlowFormat format) {
  return format != FlowFormat::Json;
}

std::string DiagramModulePath(std::string& strReason) {
  std::string strExe(4096, '\0');
  const ssize_t nLength = readlink("/proc/self/exe", strExe.data(), strExe.size());
  if (nLength <= 0 || static_cast<std::size_t>(nLength) >= strExe.size()) {
    strReason = std::string("/proc/self/exe: ") + std::strerror(nLength < 0 ? errno : ENAMETOOLONG);
    return {};
  }
  strExe.resize(static_cast<std::size_t>(nLength));
  return DirectoryOf(strExe) + std::string(kModuleDirectory) + std::string(kDiagramModuleName);
}

const CDiagramModule* CDiagramModule::Load(std::string& strReason) {
  static std::mutex mutex;
  static const CDiagramModule* pLoaded = nullptr;
  const std::lock_guard<std::mutex> lock(mutex);
  if (pLoaded)
    return pLoaded;
  const std::string strPath = DiagramModulePath(strReason);
  if (strPath.empty())
    return nullptr;
  pLoaded = LoadFrom(strPath, strReason);
  return pLoaded;
}

const CDiagramModule* CDiagramModule::LoadFrom(const std::string& strPath, std::string& strReason) {
  // Never closed: Graphviz and the libraries it loads stay until the process ends.
  void* pHandle = dlopen(strPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!pHandle) {
    const char* szError = dlerror();
    strReason = szError ? szError : strPath;
    return nullptr;
  }
  const DiagramModuleApi* pApi = FindApi(pHandle, strReason);
  if (!pApi) {
    strReason = strPath + ": " + strReason;
    dlclose(pHandle);
    return nullptr;
  }
  // One object per opened module; dlopen hands the same handle back for the same file.
  static std::mutex mutex;
  static std::map<const DiagramModuleApi*, std::unique_ptr<CDiagramModule>> modules;
  const std::lock_guard<std::mutex> lock(mutex);
  std::unique_ptr<CDiagramModule>& pModule = modules[pApi];
  if (!pModule)
    pModule.reset(new CDiagramModule(pApi));
  return pModule.get();
}

bool CDiagramModule::Draw(const CallFlow& flow, const std::string& strEncoding, FlowFormat format,
                          std::string& strBytes, std::string& strReason,
                          const DiagramMarks* pMarks) const {
  if (!IsDrawnFormat(format)) {
    strReason = "JSON is written without the drawing module";
    return false;
  }
  const std::unique_ptr<CFlowText> pText = CFlowText::Open(strEncoding);
  if (!pText) {
    strReason = "unknown code page " + strEncoding;
    return false;
  }
  return m_pApi->pRender(BuildDiagramGraph(flow, *pText, pMarks), format, strBytes, strReason);
}

} // namespace dovetrel

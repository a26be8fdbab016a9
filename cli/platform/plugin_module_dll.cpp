// The Win32 build's plug-in: Morvelin.aip loaded with LoadLibrary, reached
// only through GetProcAddress("PluginMain"), its string table and dialog
// template read from the file's resources as the host reads them.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "cli/session/plugin_module.h"
#include "resources/resource_texts.h"
#include "standin/core/plugin_file.h"
#include "standin/core/resource_table.h"

namespace morvelin {

namespace {

std::string gPath;
HMODULE gModule = nullptr;
std::string gLoadedPath;

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], n);
  wide.resize(wide.size() - 1);
  return wide;
}

std::string Utf8(const wchar_t* text, int length) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string narrow(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &narrow[0], n, nullptr, nullptr);
  return narrow;
}

// Morvelin.aip in the executable's folder.
std::string DefaultPath() {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::string path = Utf8(exe, static_cast<int>(n));
  const std::size_t slash = path.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "Morvelin.aip";
}

std::string ErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n > 0 ? Utf8(text, static_cast<int>(n)) : "";
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return "error " + std::to_string(code) + (message.empty() ? "" : " (" + message + ")");
}

// Reads a classic dialog template (DLGTEMPLATE and its DLGITEMTEMPLATEs, as
// the resource script writes it) into the stand-in's form. False when the
// data ends early or uses a form the plug-in's template does not.
class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Read(int32_t id, standin::DialogTemplate* dialog) {
    dialog->id = id;
    uint32_t exStyle = 0;
    uint16_t count = 0;
    if (!Dword(&dialog->style) || !Dword(&exStyle) || !Word(&count) || !Rect(&dialog->rect)) return false;
    uint16_t menu = 0;
    uint16_t windowClass = 0;
    if (!Word(&menu) || menu != 0 || !Word(&windowClass) || windowClass != 0) return false;
    if (!Text(&dialog->caption)) return false;
    if ((dialog->style & DS_SETFONT) != 0) {
      uint16_t points = 0;
      if (!Word(&points) || !Text(&dialog->fontName)) return false;
      dialog->fontSize = points;
    }
    for (uint16_t i = 0; i < count; ++i) {
      standin::DialogItemTemplate item;
      Align();
      uint16_t itemID = 0;
      if (!Dword(&item.style) || !Dword(&exStyle) || !Rect(&item.rect) || !Word(&itemID)) return false;
      item.id = itemID;
      if (!ClassOf(&item)) return false;
      uint16_t first = 0;
      if (!Peek(&first)) return false;
      if (first == 0xFFFF) return false;  // a resource ordinal as text: not in our templates
      if (!Text(&item.text)) return false;
      uint16_t extra = 0;
      if (!Word(&extra) || offset_ + extra > size_) return false;
      offset_ += extra;
      dialog->items.push_back(item);
    }
    return true;
  }

 private:
  bool Word(uint16_t* value) {
    if (offset_ + 2 > size_) return false;
    std::memcpy(value, data_ + offset_, 2);
    offset_ += 2;
    return true;
  }
  bool Peek(uint16_t* value) {
    if (!Word(value)) return false;
    offset_ -= 2;
    return true;
  }
  bool Dword(uint32_t* value) {
    if (offset_ + 4 > size_) return false;
    std::memcpy(value, data_ + offset_, 4);
    offset_ += 4;
    return true;
  }
  bool Rect(standin::DialogRect* rect) {
    uint16_t v[4];
    for (uint16_t& w : v)
      if (!Word(&w)) return false;
    rect->x = static_cast<int16_t>(v[0]);
    rect->y = static_cast<int16_t>(v[1]);
    rect->width = static_cast<int16_t>(v[2]);
    rect->height = static_cast<int16_t>(v[3]);
    return true;
  }
  // A zero-terminated UTF-16 text.
  bool Text(std::string* text) {
    std::wstring wide;
    for (uint16_t c = 0;;) {
      if (!Word(&c)) return false;
      if (c == 0) break;
      wide.push_back(static_cast<wchar_t>(c));
    }
    *text = Utf8(wide.c_str(), static_cast<int>(wide.size()));
    return true;
  }
  // The item's class: 0xFFFF and a predefined class atom, or a name.
  bool ClassOf(standin::DialogItemTemplate* item) {
    uint16_t first = 0;
    if (!Peek(&first)) return false;
    if (first != 0xFFFF) return Text(&item->className);
    offset_ += 2;
    if (!Word(&item->classAtom)) return false;
    if (item->classAtom == standin::kClassAtomButton) {
      item->className = "Button";
    } else if (item->classAtom == standin::kClassAtomStatic) {
      item->className = "Static";
    } else {
      return false;
    }
    return true;
  }
  void Align() { offset_ = (offset_ + 3) & ~static_cast<std::size_t>(3); }

  const uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

bool LoadResources(HMODULE module, standin::ResourceTable& table, std::string* problem) {
  for (int id = MORVELIN_STR_PLACEHOLDER_ID; id <= MORVELIN_STR_EFFECT_NAME_ID; ++id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW points at the resource itself.
    const int length = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr) {
      *problem = "has no string " + std::to_string(id);
      return false;
    }
    table.AddString(id, Utf8(text, length));
  }
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(MORVELIN_DIALOG_ID), MAKEINTRESOURCEW(5));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    *problem = "has no dialog " + std::to_string(MORVELIN_DIALOG_ID);
    return false;
  }
  standin::DialogTemplate dialog;
  TemplateReader reader(static_cast<const uint8_t*>(bytes), SizeofResource(module, found));
  if (!reader.Read(MORVELIN_DIALOG_ID, &dialog) || !table.SetDialog(dialog)) {
    *problem = "has a dialog " + std::to_string(MORVELIN_DIALOG_ID) + " this host cannot read";
    return false;
  }
  return true;
}

// Loads `path` unless it is the module already loaded.
bool LoadModule(const std::string& path, std::string* problem) {
  if (gModule != nullptr && gLoadedPath == path) return true;
  if (gModule != nullptr) FreeLibrary(gModule);
  gModule = LoadLibraryW(Wide(path).c_str());
  if (gModule == nullptr) {
    *problem = path + ": cannot load the plug-in: " + ErrorText(GetLastError());
    return false;
  }
  gLoadedPath = path;
  return true;
}

PluginMainProc EntryPoint(const std::string& path, std::string* problem) {
  const FARPROC entry = GetProcAddress(gModule, MORVELIN_ENTRY_POINT_NAME);
  if (entry == nullptr) {
    *problem = path + ": exports no " MORVELIN_ENTRY_POINT_NAME;
    return nullptr;
  }
  PluginMainProc entryPoint = nullptr;
  static_assert(sizeof entryPoint == sizeof entry, "function pointers of one size");
  std::memcpy(&entryPoint, &entry, sizeof entryPoint);
  return entryPoint;
}

// The DLL leaves memory on Unload (FreeLibrary runs its DLL_PROCESS_DETACH
// and static destructors) and is loaded anew, from the same file, for the
// Reload.
class LoadedPlugin final : public standin::PluginFile {
 public:
  void Unload() override {
    if (gModule != nullptr) FreeLibrary(gModule);
    gModule = nullptr;
  }
  PluginMainProc Load() override {
    std::string problem;
    return LoadModule(gLoadedPath, &problem) ? EntryPoint(gLoadedPath, &problem) : nullptr;
  }
};

}  // namespace

void SetPluginPath(const std::string& path) { gPath = path; }

PluginMainProc OpenPlugin(standin::ResourceTable& table, std::string* problem) {
  std::string ignored;
  if (problem == nullptr) problem = &ignored;
  const std::string path = gPath.empty() ? DefaultPath() : gPath;
  if (!LoadModule(path, problem)) return nullptr;
  PluginMainProc entryPoint = EntryPoint(path, problem);
  if (entryPoint == nullptr) return nullptr;
  std::string missing;
  if (!LoadResources(gModule, table, &missing)) {
    *problem = path + ": " + missing;
    return nullptr;
  }
  return entryPoint;
}

standin::PluginFile* PluginFileForReload() {
  static LoadedPlugin file;
  return &file;
}

}  // namespace morvelin

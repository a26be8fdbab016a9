// The page's way into the plug-in: C functions its script calls, each running
// the plug-in inside a fresh stand-in host through the tool's effect session,
// as `morvelin apply` and `morvelin edit` do. Every reply is JSON text that
// stays valid until the next call.
#include <emscripten.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/session/effect_session.h"
#include "cli/session/sample_drawing.h"
#include "cli/svg/float_text.h"
#include "cli/svg/svg_errors.h"
#include "cli/svg/svg_export.h"
#include "resources/resource_texts.h"
#include "standin/core/compiled_resources.h"
#include "standin/core/resource_table.h"
#include "standin/dialogs/dialog_toolkit.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/journal/journal.h"
#include "standin/menus/menu_store.h"
#include "standin/unite/unite_engine.h"
#include "web/json_text.h"

// The plug-in's resource script as the DLL's build compiles it (a .res file,
// built into the page by web/CMakeLists.txt).
extern const uint8_t kPluginResourceBytes[];
extern const std::size_t kPluginResourceBytesSize;

namespace {

using morvelin::JsonString;

// The Edit-Parameters dialog template read from those bytes.
std::optional<standin::DialogTemplate> DialogFromResourceBytes() {
  const auto bytes = standin::FindCompiledResource(kPluginResourceBytes, kPluginResourceBytesSize,
                                                   standin::kResourceTypeDialog, MORVELIN_DIALOG_ID);
  if (!bytes) return std::nullopt;
  return standin::ReadDialogTemplate(*bytes, MORVELIN_DIALOG_ID);
}

std::string gReply;

const char* Reply(std::string json) {
  gReply = std::move(json);
  return gReply.c_str();
}

const char* Failure(const std::string& message) {
  return Reply("{\"ok\":false,\"error\":" + JsonString(message) + "}");
}

// The "rate" the application's dictionary holds, as `morvelin edit` prints it.
std::string RateText(standin::Host& host, DictionaryHandle parameters) {
  const standin::DictEntry* entry = host.dictionaries().Find(parameters, "rate");
  if (entry == nullptr) return "none";
  if (entry->type != standin::DictEntry::Type::kReal) return "(not a real)";
  return morvelin::FloatText(entry->real);
}

std::string RectJson(const standin::DialogRect& rect) {
  return "[" + std::to_string(rect.x) + "," + std::to_string(rect.y) + "," + std::to_string(rect.width) +
         "," + std::to_string(rect.height) + "]";
}

// What the dialog shows now: every item's text, value, bounds and state.
std::string DialogJson(const DialogObject& dialog) {
  std::string json = "[";
  for (const auto& item : dialog.items) {
    if (json.size() > 1) json += ',';
    json += "{\"id\":" + std::to_string(item->id) + ",\"text\":" + JsonString(item->text) +
            ",\"value\":" + std::to_string(item->value) + ",\"min\":" + std::to_string(item->minimum) +
            ",\"max\":" + std::to_string(item->maximum) +
            ",\"checked\":" + (item->boolean != 0 ? "true" : "false") + "}";
  }
  return json + "]";
}

// Waits for the person's next action in the page's dialog, in the scripted
// user's words ("drag 60", "slide 58", "click preview", "ok", "cancel",
// "close"). Returns it in memory from malloc, which the caller frees.
EM_ASYNC_JS(char*, WaitForDialogAction, (), {
  const text = await Module.morvelinNextDialogAction();
  const size = lengthBytesUTF8(text) + 1;
  const memory = _malloc(size);
  stringToUTF8(text, memory, size);
  return memory;
});

EM_JS(void, ShowDialogStep, (const char* json), { Module.morvelinDialogStep(UTF8ToString(json)); });

std::optional<standin::UserAction> NextDialogAction() {
  char* text = WaitForDialogAction();
  std::vector<standin::UserAction> actions;
  const bool read = standin::ParseUserScript(text, &actions, nullptr);
  std::free(text);
  // Something the page should never send ends the dialog as closing it does.
  if (!read || actions.size() != 1) return standin::UserAction::Of(standin::UserAction::Kind::kClose);
  return actions.front();
}

// Checks that the plug-in started and reads `svg` into the session's host.
// Null when both went well, else the failure reply to hand the page.
const char* StartOnDrawing(morvelin::EffectSession& session, const char* svg, const char* name) {
  if (session.startup() != kHostNoError)
    return Failure("the plug-in did not start: " + morvelin::CodeForPeople(session.startup()));
  try {
    session.LoadDrawingText(svg, name);
  } catch (const morvelin::SvgError& error) {
    return Failure(error.what());
  }
  return nullptr;
}

}  // namespace

extern "C" {

// The built-in sample drawing, the one `morvelin apply` reads without a file:
// {"ok":true,"svg":...}.
EMSCRIPTEN_KEEPALIVE const char* morvelin_sample() {
  return Reply("{\"ok\":true,\"svg\":" + JsonString(morvelin::SampleDrawingSvg()) + "}");
}

// The effect applied to the whole drawing `svg` with `viscosity`, as
// `morvelin apply` does: {"ok":true,"svg":...,"united":N,"goLiveMs":T}, or
// {"ok":false,"error":...} for a drawing the importer refuses or a failure.
// goLiveMs is the time of the go-live message alone.
EMSCRIPTEN_KEEPALIVE const char* morvelin_apply(const char* svg, const char* name, double viscosity) {
  morvelin::EffectSession session;
  if (const char* failure = StartOnDrawing(session, svg, name)) return failure;
  standin::Host& host = session.host();
  standin::EffectApplication& application = session.ApplyEffect(static_cast<float>(viscosity));
  const double start = emscripten_get_now();
  const HostError result = host.effects().Execute(application);
  const double goLiveMs = emscripten_get_now() - start;
  if (result != kHostNoError) return Failure("the effect failed: " + morvelin::CodeForPeople(result));
  const int united = host.unite().calls() > 0 ? host.unite().lastCall().count : 0;
  const std::string shown = morvelin::ExportSvg(session.Shown(application));
  session.Shutdown();
  return Reply("{\"ok\":true,\"svg\":" + JsonString(shown) + ",\"united\":" + std::to_string(united) +
               ",\"goLiveMs\":" + std::to_string(goLiveMs) + "}");
}

// Opens the Edit-Parameters dialog on the drawing's effect application, as
// `morvelin edit` does (with "rate" `stored` when `hasStored`), and lets the
// person at the page work it: after each step the page's
// Module.morvelinDialogStep receives {"step","items","rate","executed","svg"};
// the loop waits in Module.morvelinNextDialogAction for the next action.
// Replies {"ok":true,"result":code,"resultText":...,"rate":...,"executed":N,
// "svg":...} once the dialog has closed.
EMSCRIPTEN_KEEPALIVE const char* morvelin_edit(const char* svg, const char* name, int hasStored,
                                               double stored) {
  morvelin::EffectSession session;
  if (const char* failure = StartOnDrawing(session, svg, name)) return failure;
  standin::Host& host = session.host();
  // The dialog the toolkit builds is the one the compiled resources hold.
  const std::optional<standin::DialogTemplate> dialogTemplate = DialogFromResourceBytes();
  if (!dialogTemplate || !host.resources().SetDialog(*dialogTemplate))
    return Failure("the plug-in's compiled resources hold no readable dialog template");
  std::optional<float> rate;
  if (hasStored != 0) rate = static_cast<float>(stored);
  standin::EffectApplication& application = session.ApplyEffect(rate);

  host.dialogs().SetObserver([&](const standin::UserAction& step, const DialogObject& dialog) {
    const std::string json = "{\"step\":" + JsonString(step.Text()) + ",\"items\":" + DialogJson(dialog) +
                             ",\"rate\":" + JsonString(RateText(host, application.parameters)) +
                             ",\"executed\":" + std::to_string(application.executions) +
                             ",\"svg\":" + JsonString(morvelin::ExportSvg(session.Shown(application))) + "}";
    ShowDialogStep(json.c_str());
  });
  host.dialogs().SetActionSource([](const DialogObject&) { return NextDialogAction(); });
  const HostError result = host.effects().EditParameters(application);
  host.dialogs().SetObserver(nullptr);
  host.dialogs().SetActionSource(nullptr);

  std::string resultText = result == kHostNoError        ? "0 (OK)"
                           : result == kHostErrCancelled ? "'STOP' (cancelled)"
                                                         : standin::CodeText(result) + " (failed)";
  const std::string reply = "{\"ok\":true,\"result\":" + std::to_string(result) +
                            ",\"resultText\":" + JsonString(resultText) +
                            ",\"rate\":" + JsonString(RateText(host, application.parameters)) +
                            ",\"executed\":" + std::to_string(application.executions) +
                            ",\"svg\":" + JsonString(morvelin::ExportSvg(session.Shown(application))) + "}";
  session.Shutdown();
  return Reply(reply);
}

// The Edit-Parameters dialog's template as the plug-in's compiled resources
// hold it: caption, rectangle and font, and each item's ID, class, caption,
// rectangle (dialog units) and style bits.
EMSCRIPTEN_KEEPALIVE const char* morvelin_dialog_template() {
  const std::optional<standin::DialogTemplate> dialog = DialogFromResourceBytes();
  if (!dialog) return Failure("the plug-in's compiled resources hold no readable dialog template");
  std::string items;
  for (const standin::DialogItemTemplate& item : dialog->items) {
    if (!items.empty()) items += ',';
    items += "{\"id\":" + std::to_string(item.id) + ",\"className\":" + JsonString(item.className) +
             ",\"text\":" + JsonString(item.text) + ",\"rect\":" + RectJson(item.rect) +
             ",\"style\":" + std::to_string(item.style) + "}";
  }
  return Reply("{\"ok\":true,\"id\":" + std::to_string(dialog->id) +
               ",\"caption\":" + JsonString(dialog->caption) + ",\"rect\":" + RectJson(dialog->rect) +
               ",\"fontName\":" + JsonString(dialog->fontName) +
               ",\"fontSize\":" + std::to_string(dialog->fontSize) +
               ",\"style\":" + std::to_string(dialog->style) + ",\"items\":[" + items + "]}");
}

// Chooses the plug-in's About item and replies with the About box it shows:
// {"ok":true,"title":...,"text":...}.
EMSCRIPTEN_KEEPALIVE const char* morvelin_about() {
  morvelin::EffectSession session;
  if (session.startup() != kHostNoError)
    return Failure("the plug-in did not start: " + morvelin::CodeForPeople(session.startup()));
  standin::Host& host = session.host();
  const std::string& aboutGroup = standin::MenuStore::HostGroupNames().front();
  MenuItemObject* aboutItem = nullptr;
  // The plug-in's item under the host's About group: in it, or in a submenu
  // hanging from it (the maker's group); not an item that only opens one.
  for (const auto& item : host.menus().items()) {
    if (item->owner == nullptr || item->submenu != nullptr) continue;
    for (const MenuGroupObject* group = item->group; group != nullptr;
         group = group->openedBy != nullptr ? group->openedBy->group : nullptr) {
      if (group->name == aboutGroup) aboutItem = item.get();
    }
  }
  if (aboutItem == nullptr) return Failure("the plug-in added no About item");
  const HostError result = session.session().ChooseMenuItem(aboutItem);
  if (result != kHostNoError || host.menus().aboutBoxes().empty())
    return Failure("the About item failed: " + morvelin::CodeForPeople(result));
  const standin::AboutBoxShown shown = host.menus().aboutBoxes().back();
  session.Shutdown();
  return Reply("{\"ok\":true,\"title\":" + JsonString(shown.title) + ",\"text\":" + JsonString(shown.text) +
               "}");
}

}  // extern "C"

// morvelin_scenarios OUTDIR [--sweep] [DRAWING.svg...]
//
// Runs every scenario of the differential test through the plug-in's entry
// point and writes what a person and the host see into OUTDIR: transcript.txt
// (each message's result, the host-call journal call by call, the Edit-
// Parameters step tables, the host's accounting at the end of every
// scenario) and the SVG drawings the scenarios produce; with --sweep also
// sweep.txt, every host call of every scenario made to fail in turn. The same
// source is built natively, with the plug-in linked in, and for Win32, where
// it loads Morvelin.aip (cli/session/plugin_module.h): the two OUTDIRs must be
// identical file for file. Exit code 0 when every scenario ended with the host
// balanced, 1 otherwise, 2 for bad arguments.
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands/edit_command.h"
#include "cli/session/effect_session.h"
#include "cli/session/plugin_module.h"
#include "cli/svg/float_text.h"
#include "cli/svg/svg_import.h"
#include "standin/art/art_store.h"
#include "standin/core/host.h"
#include "standin/core/plugin_session.h"
#include "standin/dialogs/context_stack.h"
#include "standin/dialogs/dialog_toolkit.h"
#include "standin/dialogs/scripted_user.h"
#include "standin/dictionary/dictionary_store.h"
#include "standin/effects/effect_host.h"
#include "standin/menus/menu_store.h"
#include "standin/unite/unite_engine.h"

namespace {

constexpr HostError kInjected = HOST_FOURCC('F', 'A', 'I', 'L');
const float kViscosities[] = {1.0f, 37.5f, 50.0f, 100.0f};

struct EditCase {
  const char* name;
  std::optional<float> stored;
  const char* actions;
};
// OK on a first use, Cancel, the preview ticked throughout and unticked.
const EditCase kEditCases[] = {
    {"ok", std::nullopt, "ok"},
    {"cancel", 30.0f, "drag 70; cancel"},
    {"preview_toggled", 30.0f, "drag 80; untick; drag 60; tick; ok"},
    {"preview_unticked", 50.0f, "untick; drag 20; ok"},
};

bool gBalanced = true;

void WriteBalance(std::ostream& out, const standin::Host& host) {
  const standin::Balance balance = host.balance();
  out << "balance: " << balance.Text() << (balance.Zero() ? "" : "  <-- NOT BALANCED") << "\n";
  if (!balance.Zero()) gBalanced = false;
}

void WriteJournal(std::ostream& out, standin::Host& host) {
  out << host.journal().Dump();
  host.journal().Clear();
}

MenuItemHandle AboutItem(standin::Host& host) {
  for (const auto& item : host.menus().items()) {
    if (item->owner == host.self() && item->group != nullptr && item->group->name.rfind("About", 0) == 0)
      return item.get();
  }
  return nullptr;
}

std::string Label(const std::string& drawing) {
  if (drawing.empty()) return "sample";
  std::string name = drawing.substr(drawing.find_last_of("/\\") + 1);
  return name.substr(0, name.rfind('.'));
}

// Start-up with registration, About, Unload then Reload, a go-live after the
// reload and shut-down, in one host.
void RunLifecycle(std::ostream& out) {
  out << "== lifecycle\n";
  morvelin::EffectSession session;
  standin::Host& host = session.host();
  out << "startup: " << morvelin::CodeForPeople(session.startup()) << "\n";
  WriteJournal(out, host);
  out << "about: " << morvelin::CodeForPeople(session.session().ChooseMenuItem(AboutItem(host)))
      << ", boxes shown " << host.menus().aboutBoxes().size() << "\n";
  WriteJournal(out, host);
  out << "unload: " << morvelin::CodeForPeople(session.session().Unload()) << "\n";
  WriteJournal(out, host);
  out << "reload: " << morvelin::CodeForPeople(session.session().Reload()) << "\n";
  WriteJournal(out, host);
  session.LoadDrawing("");
  host.unite().SetMerging(false);
  host.journal().Clear();
  standin::EffectApplication& application = session.ApplyEffect(50.0f);
  out << "go-live after reload: " << morvelin::CodeForPeople(host.effects().Execute(application)) << "\n";
  WriteJournal(out, host);
  session.Shutdown();
  out << "shutdown: " << morvelin::CodeForPeople(session.session().lastResult()) << "\n";
  WriteJournal(out, host);
  WriteBalance(out, host);
}

// Go-live on `drawing` at `viscosity`, united or not; the drawing shown is
// written to OUTDIR.
void RunGoLive(std::ostream& out, const std::string& folder, const std::string& drawing, float viscosity,
               bool unite) {
  const std::string name =
      "go-live-" + Label(drawing) + "-" + morvelin::FloatText(viscosity) + (unite ? "-united" : "-no-unite");
  out << "== " << name << "\n";
  morvelin::EffectSession session;
  standin::Host& host = session.host();
  session.LoadDrawing(drawing);
  host.unite().SetMerging(unite);
  host.journal().Clear();
  standin::EffectApplication& application = session.ApplyEffect(viscosity);
  out << "result: " << morvelin::CodeForPeople(host.effects().Execute(application)) << "\n";
  WriteJournal(out, host);
  session.Save(application, folder + "/" + name + ".svg", "");
  session.Shutdown();
  WriteBalance(out, host);
}

// Edit-Parameters: the tool's step table and drawing, then the same dialog
// again for the host calls it makes.
void RunEdit(std::ostream& out, const std::string& folder, const std::string& drawing, const EditCase& edit) {
  const std::string name = "edit-" + Label(drawing) + "-" + edit.name;
  out << "== " << name << "\n";
  morvelin::EditArguments arguments;
  arguments.input = drawing;
  if (edit.stored) arguments.stored = morvelin::FloatText(*edit.stored);
  arguments.actions = edit.actions;
  arguments.output = folder + "/" + name + ".svg";
  std::ostringstream table;
  std::ostringstream err;
  const int code = morvelin::RunEditCommand(arguments, table, err);
  // The table names the file written; without the run's folder, so that two
  // runs compare.
  std::string text = table.str();
  for (std::size_t at; (at = text.find(folder + "/")) != std::string::npos;)
    text.erase(at, folder.size() + 1);
  out << text << err.str() << "exit code " << code << "\n";
  if (code != 0) gBalanced = false;

  morvelin::EffectSession session;
  standin::Host& host = session.host();
  session.LoadDrawing(drawing);
  host.unite().SetMerging(false);
  standin::EffectApplication& application = session.ApplyEffect(edit.stored);
  std::vector<standin::UserAction> actions;
  std::string problem;
  standin::ParseUserScript(edit.actions, &actions, &problem);
  host.dialogs().SetScript(actions);
  host.journal().Clear();
  out << "journal: " << morvelin::CodeForPeople(host.effects().EditParameters(application)) << "\n";
  WriteJournal(out, host);
  session.Shutdown();
  WriteBalance(out, host);
}

// ---- The fault sweep ----

enum class Message { kStartup, kGoLive, kEdit, kAbout, kUnload, kReload, kShutdown };

struct SweepCase {
  const char* name;
  Message message;
  const EditCase* edit;
};

// Three circles apart, the second in a group, so that every pair bridges.
const char kSweepDrawing[] =
    "<svg xmlns='http://www.w3.org/2000/svg'><circle cx='0' cy='0' r='10'/>"
    "<g><circle cx='40' cy='0' r='10'/></g><circle cx='20' cy='40' r='12'/></svg>";

const SweepCase kSweepCases[] = {
    {"startup", Message::kStartup, nullptr},
    {"go-live", Message::kGoLive, nullptr},
    {"edit ok", Message::kEdit, &kEditCases[0]},
    {"edit cancel", Message::kEdit, &kEditCases[1]},
    {"edit preview toggled", Message::kEdit, &kEditCases[2]},
    {"about", Message::kAbout, nullptr},
    {"unload", Message::kUnload, nullptr},
    {"reload", Message::kReload, nullptr},
    {"shutdown", Message::kShutdown, nullptr},
};

// One run of a sweep case with the call at `failAt` failing (none when
// negative). Writes the message's result and what the host holds afterwards,
// then hands back what the host kept and shuts the plug-in down; the host
// must then be balanced, but for the suites, blocks and contexts whose
// return the host refused (the plug-in does not offer them twice).
std::vector<standin::JournalEntry> RunSweepPoint(std::ostream& out, const SweepCase& sweep, int failAt) {
  standin::Host host;
  standin::PluginSession session(host, morvelin::OpenPlugin(host.resources()),
                                 morvelin::PluginFileForReload());
  ArtObject* drawn = nullptr;
  standin::EffectApplication* application = nullptr;
  MenuItemHandle about = nullptr;
  if (sweep.message != Message::kStartup) {
    session.Startup();
    about = AboutItem(host);
  }
  if (sweep.message == Message::kReload) session.Unload();
  if (sweep.message == Message::kGoLive || sweep.message == Message::kEdit) {
    drawn = morvelin::ParseSvg(kSweepDrawing, "sweep drawing", host.art()).root;
    DictionaryHandle parameters = host.dictionaries().Create();
    const std::optional<float> rate =
        sweep.edit != nullptr ? sweep.edit->stored : std::optional<float>(50.0f);
    if (rate) host.dictionaries().Set(parameters, "rate", standin::DictEntry::Real(*rate));
    application = &host.effects().Apply(drawn, parameters);
    host.unite().SetMerging(sweep.message == Message::kGoLive);
  }
  if (sweep.edit != nullptr) {
    std::vector<standin::UserAction> actions;
    std::string problem;
    standin::ParseUserScript(sweep.edit->actions, &actions, &problem);
    host.dialogs().SetScript(actions);
  }
  host.journal().Clear();
  if (failAt >= 0) host.journal().FailAt(static_cast<std::size_t>(failAt), kInjected);

  HostError result = kHostErrUnsupported;
  switch (sweep.message) {
    case Message::kStartup: result = session.Startup(); break;
    case Message::kGoLive: result = host.effects().Execute(*application); break;
    case Message::kEdit: result = host.effects().EditParameters(*application); break;
    case Message::kAbout: result = session.ChooseMenuItem(about); break;
    case Message::kUnload: result = session.Unload(); break;
    case Message::kReload: result = session.Reload(); break;
    case Message::kShutdown: result = session.Shutdown(); break;
  }
  std::vector<standin::JournalEntry> entries = host.journal().entries();
  host.journal().ClearFaults();
  const standin::Balance held = host.balance();
  out << "result " << standin::CodeText(result) << "; held: " << held.Text() << "; globals "
      << (host.pluginGlobals() != nullptr ? "kept" : "none") << "; about boxes "
      << host.menus().aboutBoxes().size();
  if (application != nullptr) out << "; executions " << application->executions;
  out << "\n";

  // A refused release keeps its slot; the menu message for an item that is
  // not the plug-in's acquires and releases every suite and returns it.
  const bool started = host.pluginGlobals() != nullptr;
  if (started) {
    if (sweep.message == Message::kUnload) session.Reload();
    session.ChooseMenuItem(nullptr);
  }
  while (host.contexts().Pushed() > 0) host.contexts().Pop(host.contexts().Top());
  if (host.pluginGlobals() != nullptr) session.Shutdown();
  host.dialogs().SetScript({});
  const standin::Balance after = host.balance();
  out << "  after shut-down: " << after.Text() << "\n";
  return entries;
}

void RunSweep(std::ostream& out) {
  for (const SweepCase& sweep : kSweepCases) {
    out << "== sweep " << sweep.name << "\n";
    out << "clean: ";
    const std::vector<standin::JournalEntry> clean = RunSweepPoint(out, sweep, -1);
    int points = 0;
    for (std::size_t i = 0; i < clean.size(); ++i) {
      if (!clean[i].returnsCode) continue;
      ++points;
      out << i << " " << clean[i].suite << "." << clean[i].op << ": ";
      RunSweepPoint(out, sweep, static_cast<int>(i));
    }
    out << "failure points: " << points << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: morvelin_scenarios OUTDIR [--sweep] [DRAWING.svg...]\n";
    return 2;
  }
  const std::string folder = argv[1];
  bool sweep = false;
  std::vector<std::string> drawings = {""};
  for (int i = 2; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--sweep") {
      sweep = true;
    } else {
      drawings.push_back(argument);
    }
  }
  std::string problem;
  standin::Host probe;
  if (morvelin::OpenPlugin(probe.resources(), &problem) == nullptr) {
    std::cerr << "morvelin_scenarios: " << problem << "\n";
    return 1;
  }

  std::ofstream transcript(folder + "/transcript.txt", std::ios::binary);
  if (!transcript) {
    std::cerr << "morvelin_scenarios: cannot write " << folder << "/transcript.txt\n";
    return 2;
  }
  RunLifecycle(transcript);
  for (const std::string& drawing : drawings) {
    for (float viscosity : kViscosities) {
      RunGoLive(transcript, folder, drawing, viscosity, false);
      RunGoLive(transcript, folder, drawing, viscosity, true);
    }
    for (const EditCase& edit : kEditCases) RunEdit(transcript, folder, drawing, edit);
  }
  transcript << (gBalanced ? "every scenario ended balanced\n" : "SOME SCENARIO ENDED UNBALANCED\n");
  if (sweep) {
    std::ofstream out(folder + "/sweep.txt", std::ios::binary);
    RunSweep(out);
  }
  return gBalanced ? 0 : 1;
}

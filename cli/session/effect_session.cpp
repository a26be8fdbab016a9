#include "cli/session/effect_session.h"

#include <iostream>

#include "cli/session/plugin_module.h"
#include "cli/session/png_render.h"
#include "cli/session/sample_drawing.h"
#include "cli/svg/standard_streams.h"
#include "cli/svg/svg_export.h"
#include "cli/svg/svg_import.h"
#include "cli/svg/svg_output_file.h"
#include "standin/dictionary/dictionary_store.h"

namespace morvelin {

EffectSession::EffectSession(bool keepJournal)
    : session_(host_, OpenPlugin(host_.resources(), &loadProblem_), PluginFileForReload()) {
  host_.journal().SetRecording(keepJournal);
  if (!loadProblem_.empty()) std::cerr << "morvelin: " << loadProblem_ << "\n";
  startup_ = session_.Startup();
  if (startup_ == kHostNoError && host_.effects().registeredEffect() == nullptr)
    startup_ = kHostErrUnsupported;
}

EffectSession::~EffectSession() { Shutdown(); }

void EffectSession::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  session_.Shutdown();
}

void EffectSession::LoadDrawing(const std::string& path, std::uint64_t maxBytes) {
  drawing_ = path.empty() ? ParseSvg(SampleDrawingSvg(), "built-in sample", host_.art())
                          : LoadSvgFile(path, host_.art(), maxBytes);
}

void EffectSession::LoadDrawingText(const std::string& text, const std::string& name) {
  drawing_ = ParseSvg(text, name, host_.art());
}

standin::EffectApplication& EffectSession::ApplyEffect(std::optional<float> rate) {
  DictionaryHandle parameters = host_.dictionaries().Create();
  if (rate.has_value()) host_.dictionaries().Set(parameters, "rate", standin::DictEntry::Real(*rate));
  return host_.effects().Apply(drawing_.root, parameters);
}

SvgDrawing EffectSession::Shown(const standin::EffectApplication& application) const {
  SvgDrawing shown = drawing_;
  if (application.shown != nullptr) shown.root = application.shown;
  return shown;
}

void EffectSession::Save(const standin::EffectApplication& application, const std::string& svgPath,
                         const std::string& pngPath) const {
  // Both files are made in full before either replaces anything: a refused
  // PNG leaves no SVG behind, and the other way round. The PNG is drawn from
  // the staged SVG, so it shows exactly what was written.
  const SvgDrawing shown = Shown(application);
  OutputFiles files;
  const std::string stagedSvg = files.Stage(svgPath, [&shown](std::ostream& out) { WriteSvg(shown, out); });
  // An SVG on the standard output has no folder: its relative references
  // resolve against the current one, as a file's name without one would.
  if (!pngPath.empty())
    files.Stage(pngPath, RenderSvgFileToPngBytes(stagedSvg, OutputName(pngPath), OutputName(svgPath)));
  files.Commit();
}

std::string CodeForPeople(HostError code) { return standin::CodeText(code); }

}  // namespace morvelin

// A stand-in host with the plug-in loaded and one drawing in it: what the
// `apply` and `edit` commands share. Making a session opens the plug-in
// (cli/session/plugin_module.h) and starts it ("Startup" through PluginMain, with its
// resources loaded into the host); Shutdown, or destroying it, shuts the plug-in down.
#pragma once

#include <optional>
#include <string>

#include "cli/svg/svg_drawing.h"
#include "cli/svg/svg_input_file.h"
#include "standin/core/host.h"
#include "standin/core/plugin_session.h"
#include "standin/effects/effect_host.h"

namespace morvelin {

class EffectSession {
 public:
  // `keepJournal` false: the host still counts its calls and applies
  // injected faults but keeps no entries (a large drawing makes hundreds of
  // thousands of calls); --trace needs them from start-up on.
  explicit EffectSession(bool keepJournal = true);
  ~EffectSession();
  EffectSession(const EffectSession&) = delete;
  EffectSession& operator=(const EffectSession&) = delete;

  // The code of the start-up message; 0 when the plug-in started and
  // registered its effect.
  HostError startup() const { return startup_; }

  // Sends "Shutdown" once; later calls do nothing.
  void Shutdown();

  // Reads the drawing at `path`, or the built-in sample when `path` is empty;
  // a drawing of more than `maxBytes` (as read or as unpacked) is refused.
  // Throws SvgError.
  void LoadDrawing(const std::string& path, std::uint64_t maxBytes = kDefaultMaxInputBytes);
  // Reads the drawing from SVG `text`; `name` labels it in messages.
  void LoadDrawingText(const std::string& text, const std::string& name);

  // One application of the plug-in's effect to the whole drawing, with a
  // new parameter dictionary holding "rate" when `rate` is given.
  standin::EffectApplication& ApplyEffect(std::optional<float> rate);

  // The drawing as it shows now: with the application's last result in
  // place of the drawn art once it has been executed.
  SvgDrawing Shown(const standin::EffectApplication& application) const;

  // Writes the shown drawing as SVG and, when `pngPath` is not empty, that SVG drawn as PNG:
  // both or, when either cannot be written, neither. Throws OutputError.
  void Save(const standin::EffectApplication& application, const std::string& svgPath,
            const std::string& pngPath) const;

  standin::Host& host() { return host_; }
  standin::PluginSession& session() { return session_; }
  const SvgDrawing& drawing() const { return drawing_; }

 private:
  standin::Host host_;
  std::string loadProblem_;  // why the plug-in could not be loaded, or empty
  standin::PluginSession session_;
  HostError startup_ = kHostNoError;
  bool shutDown_ = false;
  SvgDrawing drawing_;
};

// Text of a host code for people: "'STOP'" for a four-character code, the
// number otherwise.
std::string CodeForPeople(HostError code);

}  // namespace morvelin

#include "standin/dialogs/scripted_user.h"

#include <charconv>
#include <utility>

#include "host_api/adm_notifier_suite.h"
#include "standin/dialogs/dialog_objects.h"
#include "standin/dialogs/dialog_toolkit.h"

namespace standin {

namespace {

// The buttons a click on "ok" and "cancel" means: the IDs a dialog template
// gives its OK and Cancel buttons.
constexpr int32_t kOkButtonID = 1;
constexpr int32_t kCancelButtonID = 2;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// One action's text, already trimmed. False when it is no action.
bool ParseAction(const std::string& text, UserAction* action) {
  static const std::pair<const char*, UserAction::Kind> kWords[] = {
      {"click preview", UserAction::Kind::kClickPreview},
      {"tick", UserAction::Kind::kTick},
      {"untick", UserAction::Kind::kUntick},
      {"ok", UserAction::Kind::kOk},
      {"cancel", UserAction::Kind::kCancel},
      {"close", UserAction::Kind::kClose},
  };
  for (const auto& [word, kind] : kWords) {
    if (text == word) {
      *action = UserAction::Of(kind);
      return true;
    }
  }
  // "drag" or "slide", a blank, the position: "drag80" and "dragon" are no
  // actions.
  const std::size_t blank = text.find_first_of(" \t");
  if (blank == std::string::npos) return false;
  const std::string word = text.substr(0, blank);
  if (word != "drag" && word != "slide") return false;
  const std::string position = Trimmed(text.substr(blank));
  int32_t value = 0;
  const char* end = position.data() + position.size();
  const auto result = std::from_chars(position.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return false;
  *action = word == "drag" ? UserAction::Drag(value) : UserAction::Slide(value);
  return true;
}

// The first item of `dialog` with `role`, or null.
ItemObject* FirstOfRole(DialogObject& dialog, ItemRole role) {
  for (const auto& item : dialog.items) {
    if (item->role == role) return item.get();
  }
  return nullptr;
}

void Drag(DialogToolkit& toolkit, DialogObject& dialog, int32_t target, bool release) {
  ItemObject* slider = FirstOfRole(dialog, ItemRole::kSlider);
  if (slider == nullptr) return;
  // The knob cannot go past the ends of the slider.
  if (target < slider->minimum) target = slider->minimum;
  if (target > slider->maximum) target = slider->maximum;
  int32_t position = slider->value;
  while (position != target && !dialog.destroyed && dialog.endedWith == 0) {
    position += position < target ? 1 : -1;
    slider->value = position;
    toolkit.Deliver(slider, kADMIntermediateChangedNotifier);
  }
  if (release && !dialog.destroyed && dialog.endedWith == 0) toolkit.Deliver(slider, kADMUserChangedNotifier);
}

// Clicks the check box, when `wanted` is not given or differs from its state.
void ClickCheckBox(DialogToolkit& toolkit, DialogObject& dialog, const bool* wanted) {
  ItemObject* box = FirstOfRole(dialog, ItemRole::kCheckBox);
  if (box == nullptr) return;
  if (wanted != nullptr && (box->boolean != 0) == *wanted) return;
  box->boolean = box->boolean != 0 ? 0 : 1;
  toolkit.Deliver(box, kADMUserChangedNotifier);
}

void ClickButton(DialogToolkit& toolkit, DialogObject& dialog, int32_t id) {
  if (ItemObject* button = dialog.Find(id)) toolkit.Deliver(button, kADMUserChangedNotifier);
}

}  // namespace

std::string UserAction::Text() const {
  switch (kind) {
    case Kind::kOpen: return "open";
    case Kind::kDrag: return "drag " + std::to_string(value);
    case Kind::kSlide: return "slide " + std::to_string(value);
    case Kind::kClickPreview: return "click preview";
    case Kind::kTick: return "tick";
    case Kind::kUntick: return "untick";
    case Kind::kOk: return "ok";
    case Kind::kCancel: return "cancel";
    case Kind::kClose: return "close";
    case Kind::kNotify: return "notify " + std::to_string(value) + " " + notifier;
  }
  return "?";
}

bool ParseUserScript(const std::string& text, std::vector<UserAction>* actions, std::string* error) {
  std::vector<UserAction> parsed;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of(";\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string piece = Trimmed(text.substr(start, end - start));
    if (!piece.empty()) {
      UserAction action;
      if (!ParseAction(piece, &action)) {
        if (error != nullptr) {
          *error = "unknown action \"" + piece +
                   "\" (expected drag N, slide N, tick, untick, click preview, ok, cancel or close)";
        }
        return false;
      }
      parsed.push_back(std::move(action));
    }
    start = end + 1;
  }
  *actions = std::move(parsed);
  return true;
}

void PerformUserAction(DialogToolkit& toolkit, DialogObject& dialog, const UserAction& action) {
  const bool ticked = true;
  const bool unticked = false;
  switch (action.kind) {
    case UserAction::Kind::kOpen: break;
    case UserAction::Kind::kDrag: Drag(toolkit, dialog, action.value, true); break;
    case UserAction::Kind::kSlide: Drag(toolkit, dialog, action.value, false); break;
    case UserAction::Kind::kClickPreview: ClickCheckBox(toolkit, dialog, nullptr); break;
    case UserAction::Kind::kTick: ClickCheckBox(toolkit, dialog, &ticked); break;
    case UserAction::Kind::kUntick: ClickCheckBox(toolkit, dialog, &unticked); break;
    case UserAction::Kind::kOk: ClickButton(toolkit, dialog, kOkButtonID); break;
    case UserAction::Kind::kCancel: ClickButton(toolkit, dialog, kCancelButtonID); break;
    case UserAction::Kind::kClose: toolkit.EndModal(dialog, kCancelButtonID); break;
    case UserAction::Kind::kNotify:
      if (ItemObject* item = dialog.Find(action.value)) toolkit.Deliver(item, action.notifier.c_str());
      break;
  }
}

}  // namespace standin

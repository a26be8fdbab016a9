// The scripted user: what a person does with a modal dialog, as a list of
// actions that DisplayAsModal plays one after the other.
//
//   drag N         moves the dialog's slider step by step to N (stopping at
//                  its bounds): one "ADM Intermediate Changed Notifier" for
//                  each position it passes, N included, then one "ADM User
//                  Changed Notifier" where it is released. A drag to where the
//                  slider already is only releases it.
//   slide N        the same moves without the release: the person still
//                  holds the knob (a later "drag N" there releases it).
//   click preview  clicks the dialog's check box: toggles it, then one "ADM
//                  User Changed Notifier".
//   tick, untick   click the check box only when that changes its state;
//                  otherwise nothing happens (no notification).
//   ok, cancel     click button 1 or 2: one "ADM User Changed Notifier" to the
//                  button (its DefaultNotify ends the loop with its ID).
//   close          closes the window: the loop ends with ID 2, nothing is
//                  notified.
// Tests may also send any notification type to any item (UserAction::Notify).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DialogObject;

namespace standin {

class DialogToolkit;

struct UserAction {
  enum class Kind { kOpen, kDrag, kSlide, kClickPreview, kTick, kUntick, kOk, kCancel, kClose, kNotify };
  Kind kind = Kind::kOpen;
  int32_t value = 0;     // kDrag, kSlide: the position; kNotify: the item ID
  std::string notifier;  // kNotify: the notifier type

  static UserAction Open() { return UserAction{}; }
  static UserAction Drag(int32_t position) { return UserAction{Kind::kDrag, position, {}}; }
  static UserAction Slide(int32_t position) { return UserAction{Kind::kSlide, position, {}}; }
  static UserAction Of(Kind kind) { return UserAction{kind, 0, {}}; }
  static UserAction Notify(int32_t itemID, std::string type) {
    return UserAction{Kind::kNotify, itemID, std::move(type)};
  }

  // The action as a script spells it ("drag 80", "untick"); "open" for the
  // moment the dialog appears, "notify 5 <type>" for a test's notification.
  std::string Text() const;
};

// Reads a script: actions separated by ';' or new lines, blanks around them
// ignored, empty ones skipped, words case-sensitive. Returns false and a
// message naming the first bad action in *error when one is unknown or a
// drag or slide has no whole-number position; *actions is then unchanged.
bool ParseUserScript(const std::string& text, std::vector<UserAction>* actions, std::string* error);

// Does `action` on `dialog` through the toolkit (notifications included).
void PerformUserAction(DialogToolkit& toolkit, DialogObject& dialog, const UserAction& action);

}  // namespace standin

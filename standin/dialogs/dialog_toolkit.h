// The dialog toolkit ("ADM Dialog Suite", "ADM Item Suite", "ADM Notifier Suite").
#pragma once

namespace standin {

class Host;

class DialogToolkit {
 public:
  int Open() const { return open_; }

 private:
  int open_ = 0;
};

// Registers the three dialog suites.
void RegisterDialogSuites(Host& host);

}  // namespace standin

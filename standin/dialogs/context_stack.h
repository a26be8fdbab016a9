// Application contexts ("AI Context Suite"): pushes and pops, balanced.
#pragma once

namespace standin {

class Host;

class ContextStack {
 public:
  int Pushed() const { return pushed_; }

 private:
  int pushed_ = 0;
};

// Registers "AI Context Suite".
void RegisterContextSuite(Host& host);

}  // namespace standin

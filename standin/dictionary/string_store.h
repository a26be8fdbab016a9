// Host Unicode strings ("AI Unicode String Suite" version 6), kept as UTF-8,
// with live-string accounting so that a leak or a double dispose is caught.
#pragma once

namespace standin {

class Host;

class StringStore {
 public:
  int Live() const { return live_; }

 private:
  int live_ = 0;
};

// Registers "AI Unicode String Suite".
void RegisterUnicodeStringSuite(Host& host);

}  // namespace standin

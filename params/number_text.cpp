#include "params/number_text.h"

#include <cstdio>

#include "plugin/suite_table.h"

void FormatDecimal(int32_t number, char (&text)[kNumberTextSize]) {
  // long holds every 32-bit value on both targets (32 bits on Windows, 64
  // elsewhere), so INT32_MIN prints without overflow.
  std::snprintf(text, sizeof text, "%ld", static_cast<long>(number));
}

void FormatNumberText(int32_t number, bool parenthesised, char (&text)[kNumberTextSize]) {
  if (number == 0) {
    text[0] = '\0';
    return;
  }
  char digits[kNumberTextSize];
  FormatDecimal(number, digits);
  std::snprintf(text, sizeof text, parenthesised ? "(%s)" : "%s", digits);
}

void SetNumberText(DialogHandle dialog, int32_t number, int32_t itemID, bool parenthesised) {
  const ItemHandle item = sADMDialog->GetItem(dialog, itemID);
  char text[kNumberTextSize];
  FormatNumberText(number, parenthesised, text);
  sADMItem->SetText(item, text);
}

int32_t TruncateRate(HostReal rate) {
  // 2^31 is exactly representable as a float; every float below it and at or
  // above -2^31 converts by truncation toward zero. NaN has no whole number
  // and reads as 0.
  if (rate != rate) return 0;
  if (rate >= 2147483648.0f) return INT32_MAX;
  if (rate < -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(rate);
}

// The numbers the Edit-Parameters dialog shows in its texts: the slider's
// value and, in parentheses, the rate the dialog opened with.
#pragma once

#include <cstdint>

#include "host_api/host_api.h"

// Room for any text below: "(-2147483648)" and its terminator need 14 bytes.
enum { kNumberTextSize = 36 };

// The decimal text of `number`, with a leading "-" when it is negative; "0"
// for zero. Always terminated.
void FormatDecimal(int32_t number, char (&text)[kNumberTextSize]);

// The text a number item shows: empty for 0 (parenthesised or not), otherwise
// the decimal text, in parentheses when `parenthesised`. Always terminated.
void FormatNumberText(int32_t number, bool parenthesised, char (&text)[kNumberTextSize]);

// Sets the text of item `itemID` of `dialog` to FormatNumberText(number,
// parenthesised). Uses the held ADM Dialog and ADM Item suites.
void SetNumberText(DialogHandle dialog, int32_t number, int32_t itemID, bool parenthesised);

// A rate as the dialog shows it: truncated toward zero, and held at the
// 32-bit limits for a value beyond them (a stored rate is not clamped, and a
// float that does not fit has no defined conversion).
int32_t TruncateRate(HostReal rate);

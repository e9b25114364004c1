#include "driver/wait_message.h"

const char* WaitMessageFor(unsigned language_id) {
  constexpr unsigned kPrimaryLanguageMask = 0x3FF;
  constexpr unsigned kGerman = 0x07;
  if ((language_id & kPrimaryLanguageMask) == kGerman) return "Bitte warten: Dateien werden entpackt";
  return "Please wait: Files extract";
}

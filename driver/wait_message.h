#pragma once
// The wait message of the progress window, by the user's language.

// German for every sublanguage of German (primary language 7), English otherwise.
const char* WaitMessageFor(unsigned language_id);

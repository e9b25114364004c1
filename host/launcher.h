#pragma once
// Starting another program.

// LaunchProgram flags.
inline constexpr unsigned LaunchWait = 1;  // return only when the program has ended
inline constexpr unsigned LaunchHide = 2;  // start it hidden, a console program without a console

// Starts `program` with `parameters`, in `working_folder` (null or empty: the
// caller's own current folder), directly or, when that fails, through the
// shell's "Open" verb. 1 when it was started, 0 when neither way started it.
int LaunchProgram(const char* program, const char* parameters, const char* working_folder,
                  unsigned flags);

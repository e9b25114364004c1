#pragma once
// Where the unpack routine puts what it unpacks. Paths use "\" as separator.

#include <cstdint>

#include "unpack/date_value.h"

class UnpackOutput {
 public:
  // Creates every missing folder along `path` up to its last "\"; the text
  // after it is not taken for a folder.
  virtual void MakeFolders(const char* path) = 0;
  // Creates (or empties) the file at `path` and makes it the open output.
  virtual bool Create(const char* path) = 0;
  // Appends to the open output; false when the write failed or fell short.
  virtual bool Write(const void* data, std::uint32_t length) = 0;
  // Hands what waits in the write buffer to the file; false when that failed.
  virtual bool Flush() = 0;
  // Sets the open output's last-write time from the entry's date.
  virtual void Stamp(DateValue date) = 0;
  // Closes the open output; false when the system reports a failure.
  virtual bool Close() = 0;
  // Deletes a file that must not be handed on.
  virtual void Remove(const char* path) = 0;

 protected:
  ~UnpackOutput() = default;
};

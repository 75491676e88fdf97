// A number kept in a file that every process of the machine may lock, read
// and rewrite: the store behind the machine-wide transaction sequence.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace mirdane {

class SharedCounterFile {
 public:
  virtual ~SharedCounterFile() = default;
  // Waits for the machine-wide lock; false when it cannot be had.
  virtual bool Lock() = 0;
  virtual void Unlock() = 0;
  // The number stored, 0 for an empty file.
  virtual std::int64_t Read() = 0;
  virtual void Write(std::int64_t value) = 0;
};

// Opens (creating it when missing) the counter file at `path`; null when it
// cannot be opened, is a link, or (POSIX) belongs to another account.
std::unique_ptr<SharedCounterFile> OpenSharedCounterFile(const std::string& path);

// Where the counter lives on this platform, in a folder that only the
// releasing account and administrators can write (POSIX: the account's state
// folder; Windows: ProgramData); empty when there is no such place.
std::string MachineCounterPath();

}  // namespace mirdane

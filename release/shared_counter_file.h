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
// cannot be opened.
std::unique_ptr<SharedCounterFile> OpenSharedCounterFile(const std::string& path);

// Where the machine-wide counter lives on this platform, readable and
// writable by every user's Release module; empty when there is no such place.
std::string MachineCounterPath();

}  // namespace mirdane

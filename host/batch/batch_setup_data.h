// A batch file's setup as the host's ReleaseSetupData: what the setup script
// reads and edits. Edits stay in the object until Apply writes them into the
// file, as the host keeps them until the setup is applied.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/batch/batch_file.h"
#include "host/host_objects.h"

namespace mirdane::batch {

class BatchSetupData final : public kfx::ReleaseSetupData {
 public:
  // The setup of `batch`, copied; Apply writes it into batch.path.
  explicit BatchSetupData(const BatchFile& batch);

  HRESULT get_BatchClassName(std::u16string* name) override;
  HRESULT get_DocClassName(std::u16string* name) override;
  HRESULT get_Name(std::u16string* name) override;
  HRESULT put_Name(const std::u16string& name) override;
  HRESULT get_ConnectString(std::u16string* text) override;
  HRESULT put_ConnectString(const std::u16string& text) override;
  HRESULT get_UserName(std::u16string* text) override;
  HRESULT put_UserName(const std::u16string& text) override;
  HRESULT get_Password(std::u16string* text) override;
  HRESULT put_Password(const std::u16string& text) override;
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* properties) override;
  HRESULT get_Links(std::shared_ptr<kfx::Links>* links) override;
  HRESULT get_IndexFields(std::shared_ptr<kfx::IndexFields>* fields) override;
  HRESULT get_BatchVariableNames(std::shared_ptr<mirdane::Object>* names) override;
  // Writes the setup into the batch file, replacing the file atomically.
  HRESULT Apply() override;

  // The setup as it stands, edits included.
  SetupRecord Current() const;
  // How many times Apply has written the file.
  int applyCount() const { return applyCount_; }
  // Why the last Apply could not write the file; empty after a good one.
  const std::string& applyError() const { return applyError_; }

 private:
  std::filesystem::path path_;
  std::u16string batchClass_;
  std::u16string documentClass_;
  SetupRecord setup_;
  std::shared_ptr<NamedTexts> properties_;
  std::shared_ptr<std::vector<LinkRecord>> links_;
  int applyCount_ = 0;
  std::string applyError_;
};

}  // namespace mirdane::batch

// mirdane catalogue | setup show | setup edit: the field catalogue, and a
// batch file's setup seen and edited through the same setup script, model
// and page logic as the host's setup pages.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/commands.h"
#include "dbax/provider/secret_scrubber.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_setup_data.h"
#include "host/custom_property.h"
#include "setup/general_settings.h"
#include "setup/headless_sheet.h"
#include "setup/mapping_page.h"
#include "setup/required_field_check.h"
#include "setup/setup_mapping_model.h"
#include "setup/setup_script.h"

#if defined(_WIN32)
#include "tools/com_host/com_setup.h"
#endif

namespace mirdane::cli {
namespace {

std::string Out(const std::u16string& text) { return Utf16ToUtf8(text); }

std::string Padded(const std::u16string& text, std::size_t width) {
  std::string out = Out(text);
  const std::size_t length = CodePointCount(text);
  if (length < width) out.append(width - length, ' ');
  return out;
}

// A mapping as `setup edit` takes it.
std::u16string MappingText(const XAFieldEntry& slot) {
  switch (slot.sourceType) {
    case kNotMapped: return u"none";
    case kfx::KFX_REL_INDEXFIELD: return u"index:" + slot.source;
    case kfx::KFX_REL_TEXTCONSTANT: return u"const:" + slot.source;
    case kfx::KFX_REL_VARIABLE: return u"value:" + slot.source;
    case kfx::KFX_REL_BATCHFIELD: return u"batch:" + slot.source;
    default: return u"type " + Utf8ToUtf16(std::to_string(slot.sourceType)) + u":" + slot.source;
  }
}

// Loads a batch file for a setup command; prints why not and gives nothing.
std::unique_ptr<batch::BatchFile> Load(const char* command, const std::string& path) {
  try {
    auto file = std::make_unique<batch::BatchFile>(batch::LoadBatchFile(path));
    for (const auto& note : file->notes) std::cerr << "mirdane " << command << ": " << note << "\n";
    return file;
  } catch (const batch::BatchFileError& error) {
    std::cerr << "mirdane " << command << ": " << error.what() << "\n";
    return nullptr;
  }
}

int RunCatalogue() {
  CSetupMappingModel model;
  model.BuildCatalogue();
  std::size_t caption_width = 7;
  for (const auto& slot : model.slots()) caption_width = std::max(caption_width, CodePointCount(slot.caption));
  std::cout << "slot  identifier      SQL type        " << Padded(u"caption", caption_width)
            << "  required\n";
  for (int i = 0; i < CSetupMappingModel::kSlotCount; ++i) {
    const auto& slot = model.slots()[static_cast<std::size_t>(i)];
    if (slot.group == kGroupSpare) continue;
    std::string number = std::to_string(i);
    std::cout << std::string(4 - number.size(), ' ') << number << "  " << Padded(slot.identifier, 14)
              << "  " << Padded(slot.sqlType, 14) << "  " << Padded(slot.caption, caption_width) << "  "
              << (slot.required ? "yes" : "no") << "\n";
  }
  return kExitOk;
}

int RunShow(const std::string& path) {
  const auto file = Load("setup show", path);
  if (!file) return kExitUsage;
  batch::BatchSetupData data(*file);
  CSetupMappingModel model(&data);
  model.BuildCatalogue();
  model.LoadLinks();
  GeneralSettings general;
  general.Load(&model);

  std::cout << "Batch class:     " << Out(general.batchClassName) << "\n"
            << "Document class:  " << Out(general.docClassName) << "\n"
            << "Instance name:   " << Out(general.name) << "\n"
            // A password written into the server name is masked as well.
            << "Server name:     " << Out(dbAx::provider::MaskPasswords(general.connectString)) << "\n"
            << "User name:       " << Out(general.userName) << "\n"
            // Masked whatever its length, and said plainly when there is none.
            << "Password:        " << (general.password.empty() ? "(none)" : "********") << "\n"
            << "API library:     " << Out(general.apiLibrary) << "\n";
  std::u16string ledger;
  ReadCustomProperty(data, kReleaseLedger, &ledger, u"");
  std::cout << "Release ledger:  "
            << (ledger == kReleaseLedgerOn ? "on (releaseLedger = 1)" : "off") << "\n";

  MappingPage page(model);
  page.BuildRows();
  std::vector<const MappedRow*> unmet;
  for (const auto& group : page.groups()) {
    std::cout << "\n" << Out(group.title) << "\n";
    for (const auto& row : group.rows) {
      const auto& slot = *row->entry();
      std::cout << (slot.required ? "  * " : "    ") << Padded(slot.identifier, 14) << "  "
                << Padded(row->name(), 44) << "  " << Out(MappingText(slot)) << "\n";
      if (!IsRequirementMet(*row)) unmet.push_back(row.get());
    }
  }
  std::cout << "\n* required\n";

  // Links that name no column: the three that every setup carries, or links
  // of an older or foreign setup, which the next save drops.
  std::shared_ptr<kfx::Links> links;
  std::int32_t count = 0;
  if (data.get_Links(&links) == hr::kOk && links->get_Count(&count) == hr::kOk) {
    bool heading = false;
    for (std::int32_t i = 1; i <= count; ++i) {
      std::shared_ptr<kfx::Link> link;
      if (links->get_Item(Variant::I4(i), &link) != hr::kOk) continue;
      XAFieldEntry as_slot;
      link->get_Destination(&as_slot.identifier);
      if (model.FindByIdentifier(as_slot.identifier) >= 0) continue;
      link->get_Source(&as_slot.source);
      link->get_SourceType(&as_slot.sourceType);
      if (!heading) std::cout << "\nOther links\n";
      heading = true;
      std::cout << "    " << Padded(as_slot.identifier, 20) << "  " << Out(MappingText(as_slot)) << "\n";
    }
  }
  if (!unmet.empty()) {
    std::cout << "\nRequired but not mapped:";
    for (const auto* row : unmet) {
      std::cout << (row == unmet.front() ? " " : ", ") << Out(row->entry()->identifier) << " ("
                << Out(row->name()) << ")";
    }
    std::cout << "\n";
  }
  return kExitOk;
}

struct EditOptions {
  std::string batch;
  std::string name, server, user, password, library;
  CLI::Option* name_given = nullptr;
  CLI::Option* server_given = nullptr;
  CLI::Option* user_given = nullptr;
  CLI::Option* password_given = nullptr;
  CLI::Option* library_given = nullptr;
  std::string ledger;  // "on", "off" or empty
  std::vector<std::string> mappings;
  bool ignore_required = false;
  bool field_names = false;
};

std::optional<std::u16string> Given(const CLI::Option* option, const std::string& value) {
  if (!option || option->count() == 0) return std::nullopt;
  return Utf8ToUtf16(value);
}

int RunEdit(const EditOptions& options) {
  const char* const command = "setup edit";
  HeadlessEdits edits;
  edits.name = Given(options.name_given, options.name);
  edits.connectString = Given(options.server_given, options.server);
  edits.userName = Given(options.user_given, options.user);
  edits.password = Given(options.password_given, options.password);
  edits.apiLibrary = Given(options.library_given, options.library);
  if (!options.ledger.empty()) edits.releaseLedger = options.ledger == "on";
  edits.ignoreRequired = options.ignore_required;
  edits.displayFieldNames = options.field_names;
  for (const auto& mapping : options.mappings) {
    const auto equals = mapping.find('=');
    if (equals == std::string::npos) {
      std::cerr << "mirdane " << command << ": \"" << mapping
                << "\" is not COLUMN=MAPPING; nothing was saved\n";
      return kExitUsage;
    }
    edits.mappings.emplace_back(Utf8ToUtf16(mapping.substr(0, equals)),
                                Utf8ToUtf16(mapping.substr(equals + 1)));
  }

  const auto file = Load(command, options.batch);
  if (!file) return kExitUsage;
  auto data = std::make_shared<batch::BatchSetupData>(*file);
  auto sheet = std::make_shared<HeadlessSetupSheet>(std::move(edits));
  CppdSetupScript script(sheet);
  script.putref_SetupData(data);
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  script.OpenScript(&result);
  script.RunUI(&result);
  const kfx::KfxReturnValue ran = result;
  script.CloseScript(&result);

  if (!sheet->refusal().empty()) {
    std::cerr << "mirdane " << command << ": " << Out(sheet->refusal()) << "; nothing was saved\n";
    return kExitUsage;
  }
  if (sheet->stoppedAtRequiredField()) {
    const auto& texts = *sheet->requiredField();
    std::cerr << "mirdane " << command << ": " << Out(texts.title) << "\n"
              << Out(texts.instruction) << "\n"
              << Out(texts.mapFields) << "\n"
              << "Nothing was saved. Map the column, or give --ignore-required to save without it.\n";
    return kExitFailed;
  }
  if (ran != kfx::KFX_REL_SUCCESS || data->applyCount() == 0) {
    std::cerr << "mirdane " << command << ": "
              << (data->applyError().empty() ? "the setup could not be run" : data->applyError())
              << "\n";
    return kExitFailed;
  }
  if (!sheet->unmappedColumn().empty()) {
    std::cerr << "mirdane " << command << ": saved with the required column "
              << Out(sheet->unmappedColumn()) << " not mapped, as --ignore-required asks\n";
  }
  std::cout << options.batch << ": setup saved\n";
  return kExitOk;
}

#if defined(_WIN32)
// The setup pages of the registered COM server over the batch file's setup,
// as the host's Administration module shows them; OK writes the file.
int RunComSetup(const std::string& path) {
  const char* const command = "setup --com";
  const auto file = Load(command, path);
  if (!file) return kExitUsage;
  const auto outcome = hostcom::RunSetupThroughCom(*file);
  if (outcome.applied) {
    std::cout << path << ": setup saved\n";
    return kExitOk;
  }
  if (!outcome.error.empty()) {
    std::cerr << "mirdane " << command << ": " << outcome.error << "\n";
    return kExitUsage;
  }
  std::cout << path << ": cancelled, nothing was saved\n";
  return kExitFailed;
}
#endif

}  // namespace

void AddSetupCommands(CLI::App& app, int* exit_code) {
  auto* catalogue = app.add_subcommand(
      "catalogue", "list the bridge columns that a setup can map: slot, identifier, SQL type, "
                   "caption, and whether the column must be mapped");
  catalogue->callback([exit_code] { *exit_code = RunCatalogue(); });

  auto* setup = app.add_subcommand("setup", "look at or edit the export setup of a batch file");
#if defined(_WIN32)
  // Without a subcommand: the setup pages of the registered COM server.
  setup->require_subcommand(0, 1);
  auto com_batch = std::make_shared<std::string>();
  auto com = std::make_shared<bool>(false);
  setup->add_option("--batch", *com_batch, "with --com: the batch file (JSON)");
  setup->add_flag("--com", *com,
                  "show the setup pages of the registered COM server (mirdane.CppdSetupScript) "
                  "over the batch file's setup, as the host's Administration module does; OK "
                  "saves into the batch file (exit 0), Cancel saves nothing (exit 1)");
  setup->callback([setup, exit_code, com_batch, com] {
    if (!setup->get_subcommands().empty()) return;
    if (!*com || com_batch->empty()) {
      std::cerr << "mirdane setup: give show, edit, or --com --batch FILE\n";
      *exit_code = kExitUsage;
      return;
    }
    *exit_code = RunComSetup(*com_batch);
  });
#else
  setup->require_subcommand(1);
#endif

  auto show_batch = std::make_shared<std::string>();
  auto* show = setup->add_subcommand(
      "show", "print the connection settings (password masked) and every column's mapping, "
              "required columns marked with *");
  show->add_option("--batch", *show_batch, "the batch file (JSON)")->required();
  show->callback([exit_code, show_batch] { *exit_code = RunShow(*show_batch); });

  auto edit_options = std::make_shared<EditOptions>();
  auto* edit = setup->add_subcommand(
      "edit",
      "change the setup as the setup pages do, then save it into the batch file. MAPPING is "
      "index:NAME (a document index field), value:NAME (a Kofax Capture Value), const:TEXT or "
      "none. Nothing is saved while a required column is unmapped (exit 1) unless "
      "--ignore-required is given, nor when a column or source is unknown (exit 2)");
  auto& o = *edit_options;
  edit->add_option("--batch", o.batch, "the batch file (JSON)")->required();
  o.name_given = edit->add_option("--name", o.name, "the export connector instance name");
  o.server_given = edit->add_option("--server", o.server, "the server name: the IBM i system, or "
                                                          "sqlite:DIR, odbc:CONNECTION-STRING");
  o.user_given = edit->add_option("--user", o.user, "the user name of the connection");
  o.password_given = edit->add_option("--password", o.password, "the password of the connection");
  o.library_given = edit->add_option("--library", o.library, "the API library holding the bridge tables");
  edit->add_option("--release-ledger", o.ledger,
                   "on: release each document of the class exactly once, recorded in the release "
                   "ledger beside the bridge tables (custom property releaseLedger = 1; the ledger "
                   "is made by mirdane bridge create --ledger), as the General page's \"Release each "
                   "document only once\" checked; off: release as without it (the property "
                   "removed)")
      ->check(CLI::IsMember({"on", "off"}));
  edit->add_flag("--ignore-required", o.ignore_required,
                 "save even when a required column is not mapped");
  edit->add_flag("--field-names", o.field_names,
                 "name columns by identifier in messages, as with \"Display Field Names\"");
  edit->add_option("mappings", o.mappings,
                   "COLUMN=MAPPING: COLUMN is an identifier such as UAGYCPP.GYABNT, or a caption "
                   "that names one column");
  edit->callback([exit_code, edit_options] { *exit_code = RunEdit(*edit_options); });
}

}  // namespace mirdane::cli

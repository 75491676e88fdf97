#include "setup/setup_mapping_model.h"

namespace mirdane {
namespace {

struct CatalogueRow {
  int slot;
  std::int32_t group;
  const char16_t* identifier;
  const char16_t* sqlType;
  const char16_t* caption;
  bool required;
  const char16_t* note;
};

// The Infor XA bridge columns offered for mapping, in slot order. Texts are
// exactly as XA's documentation words them, typographic apostrophes and
// trailing blank included. Only the required flag decides what must be
// mapped: the dates of slots 10 to 12 say "Required;" in their notes, but XA
// defaults them to the current date.
constexpr CatalogueRow kCatalogue[] = {
    {0, 0, u"UAGYCPP.GYABNT", u"CHAR(10)", u"Extract transaction type", true,
     u"Required; Bridge transaction type"},
    {1, 0, u"UAGYCPP.GYASCD", u"CHAR(10)", u"Administrative division", true,
     u"Required; extract transaction default available"},
    {2, 0, u"UAGYCPP.GYF7CD", u"CHAR(10)", u"Financial division", true,
     u"Required; extract transaction default available"},
    {3, 0, u"UAGYCPP.GYH6CD", u"CHAR(10)", u"Transaction type", true,
     u"Required; IFM transaction type; extract transaction default available"},
    {4, 0, u"UAGYCPP.GYMBCD", u"CHAR(10)", u"Transaction ledger", true,
     u"Required; general ledger, personal ledger, or cashbook; extract transaction default available"},
    {5, 0, u"UAGYCPP.GYALNB", u"CHAR(14)", u"Transaction number", false,
     u""},
    {6, 0, u"UAGYCPP.GYHBCD", u"CHAR(10)", u"Transaction entity", false,
     u""},
    {7, 0, u"UAGYCPP.GYFANA", u"CHAR(26)", u"Transaction entity name", false,
     u""},
    {8, 0, u"UAGYCPP.GYALNA", u"CHAR(26)", u"Their reference", false,
     u""},
    {9, 0, u"UAGYCPP.GYDHNA", u"CHAR(40)", u"Transaction narrative", false,
     u"extract transaction default available"},
    {10, 0, u"UAGYCPP.GYABNW", u"DECIMAL(7, 0)", u"Document date", false,
     u"Required; defaults to current date"},
    {11, 0, u"UAGYCPP.GYABNX", u"DECIMAL(7, 0)", u"Effective date", false,
     u"Required; defaults to current date. Note: The specified effective date will determine the Period (below). Period can be left blank."},
    {12, 0, u"UAGYCPP.GYABNY", u"DECIMAL(7, 0)", u"Supply date", false,
     u"Required; defaults to current date"},
    {13, 0, u"UAGYCPP.GYARCD", u"CHAR(10)", u"Originating unit", true,
     u"Required; extract transaction default available"},
    {14, 0, u"UAGYCPP.GYHCCD", u"CHAR(10)", u"Originating user", false,
     u"extract transaction default available"},
    {15, 0, u"UAGYCPP.GYFYNB", u"CHAR(10)", u"Period", false,
     u"Note: When Period is used, the Effective Date (above) must fall within this period."},
    {16, 0, u"UAGYCPP.GYI3CD", u"CHAR(10)", u"Contact", false,
     u""},
    {17, 0, u"UAGYCPP.GYSUCD", u"CHAR(10)", u"Apportionment", false,
     u""},
    {18, 0, u"UAGYCPP.GYNICD", u"CHAR(10)", u"Inter-division account type", false,
     u""},
    {19, 0, u"UAGYCPP.GYZGCD", u"CHAR(10)", u"Order/ship entity", false,
     u""},
    {20, 0, u"UAGYCPP.GYYXNA", u"CHAR(14)", u"Order/ship reference", false,
     u""},
    {21, 0, u"UAGYCPP.GYI4CD", u"CHAR(4)", u"Currency", false,
     u""},
    {22, 0, u"UAGYCPP.GYFZNB", u"DECIMAL(15, 8)", u"Exchange rate", false,
     u""},
    {23, 0, u"UAGYCPP.GYGNST", u"CHAR(1)", u"Multiplier/divider", false,
     u""},
    {24, 0, u"UAGYCPP.GYKIST", u"CHAR(1)", u"Apply tax to transaction", false,
     u""},
    {25, 0, u"UAGYCPP.GYD1ST", u"CHAR(1)", u"Omit from period accrual", false,
     u""},
    {26, 0, u"UAGYCPP.GYPOSS", u"CHAR(1)", u"Contingent liability", false,
     u""},
    {27, 0, u"UAGYCPP.GYA1SS", u"CHAR(1)", u"Ignore warnings", false,
     u"Blank or ’ ’ or ’0’ = Do not have IFM ignore warnings (default).’1’ = Have IFM ignore warning messages."},
    {28, 0, u"UAGYCPP.GYCEN4", u"CHAR(10)", u"Installment method ID", false,
     u""},
    {29, 0, u"UAGYCPP.GYCERK", u"CHAR(10)", u"Note method ID", false,
     u""},
    {30, 0, u"UAGYCPP.GYNREZ", u"CHAR(14)", u"Note method transctn no", false,
     u""},
    {31, 0, u"UAGYCPP.GYDTBI", u"DECIMAL(7, 0)", u"Note due date", false,
     u""},
    {32, 0, u"UAGYCPP.GYCEQA", u"CHAR(10)", u"Withholding method ID", false,
     u""},
    {33, 0, u"UAGYCPP.GYCEQ9", u"CHAR(10)", u"Tax transaction type", false,
     u""},
    {34, 0, u"UAGYCPP.GYAB34", u"DECIMAL(15, 2)", u"Trans value: pers lgr 15.2", false,
     u"control value may be required when transaction totals are enforced."},
    {35, 0, u"UAGYCPP.GYAB35", u"DECIMAL(15, 2)", u"Trans value: cash 15.2", false,
     u"control value may be required when transaction totals are enforced"},
    {36, 0, u"UAGYCPP.GYAB36", u"DECIMAL(15, 2)", u"Trans value: value lin 15.2", false,
     u"control value may be required when transaction totals are enforced"},
    {37, 0, u"UAGYCPP.GYAB37", u"DECIMAL(15, 2)", u"Trans value: gen/lgr 15.2", false,
     u"control value may be required when transaction totals are enforced "},
    {38, 1, u"UAG0CPP.G0ABNT", u"CHAR(10)", u"Extract transaction type", true,
     u"Required; Bridge transaction type"},
    {39, 1, u"UAG0CPP.G0ATCD", u"CHAR(10)", u"Charge ID", false,
     u""},
    {40, 1, u"UAG0CPP.G0FRNA", u"CHAR(40)", u"Narrative", false,
     u""},
    {41, 1, u"UAG0CPP.G0AAQT", u"DECIMAL(15, 4)", u"Quantity", false,
     u""},
    {42, 1, u"UAG0CPP.G0ACPR", u"DECIMAL(15, 4)", u"Price", false,
     u""},
    {43, 1, u"UAG0CPP.G0AKPC", u"DECIMAL(5, 2)", u"Discount percent", false,
     u""},
    {44, 1, u"UAG0CPP.G0ABN3", u"DECIMAL(15, 2)", u"Discount value", false,
     u""},
    {45, 1, u"UAG0CPP.G0ABN4", u"DECIMAL(15, 2)", u"Value (transaction currency)", false,
     u"Charge line value"},
    {46, 1, u"UAG0CPP.G0ABRT", u"DECIMAL(15, 2)", u"Value (financial division currency)", false,
     u""},
    {47, 1, u"UAG0CPP.G0KTCD", u"CHAR(10)", u"Unit", false,
     u"Charge line unit"},
    {48, 1, u"UAG0CPP.G0KUCD", u"CHAR(10)", u"Nature", false,
     u"Charge line nature"},
    {49, 1, u"UAG0CPP.G0SOCD", u"CHAR(10)", u"Apportionment", false,
     u""},
    {50, 1, u"UAG0CPP.G0OESS", u"CHAR(1)", u"Allow settlement discount", false,
     u"0 = No, 1 = Yes"},
    {51, 1, u"UAG0CPP.G0SSFX", u"CHAR(1)", u"Charge type", false,
     u""},
    {52, 1, u"UAG0CPP.G0SSFW", u"CHAR(1)", u"Prorate charge line code", true,
     u"Required; 0 = No, 1 = Yes"},
    {53, 1, u"UAG0CPP.G0CEAV", u"CHAR(10)", u"Unit", false,
     u"Charge unit"},
    {54, 1, u"UAG0CPP.G0JPCD", u"CHAR(10)", u"Nature", false,
     u"Charge nature"},
    {55, 1, u"UAG0CPP.G0CEGU", u"CHAR(15)", u"Item number", false,
     u""},
    {56, 1, u"UAG0CPP.G0CEGV", u"CHAR(3)", u"Warehouse", false,
     u""},
    {57, 1, u"UAG0CPP.G0CEGW", u"CHAR(7)", u"Order number", false,
     u""},
    {58, 1, u"UAG0CPP.G0ABPY", u"DECIMAL(3, 0)", u"Misc/srv item sequence", false,
     u""},
    {59, 1, u"UAG0CPP.G0ABPZ", u"DECIMAL(4, 0)", u"Blanket sequence", false,
     u""},
    {60, 1, u"UAG0CPP.G0CEDG", u"CHAR(2)", u"Entry unit of measure", false,
     u""},
    {61, 1, u"UAG0CPP.G0ABP1", u"CHAR(15)", u"Misc charge detail number", false,
     u""},
    {62, 1, u"UAG0CPP.G0CEDK", u"CHAR(6)", u"Work order number", false,
     u""},
    {63, 1, u"UAG0CPP.G0ABP2", u"CHAR(7)", u"Order number", false,
     u""},
    {64, 1, u"UAG0CPP.G0ABP3", u"CHAR(4)", u"Operation sequence nmbr", false,
     u""},
    {65, 1, u"UAG0CPP.G0NCEN", u"DECIMAL(2, 0)", u"Work order task", false,
     u""},
    {66, 1, u"UAG0CPP.G0SSDS", u"CHAR(1)", u"MRO item", false,
     u""},
    {67, 1, u"UAG0CPP.G0CEDL", u"CHAR(6)", u"Cost code", false,
     u""},
    {68, 1, u"UAG0CPP.G0SSFA", u"CHAR(1)", u"Completion code", false,
     u""},
    {69, 1, u"UAG0CPP.G0SSKY", u"CHAR(1)", u"Auto-gen method", false,
     u""},
    {70, 1, u"UAG0CPP.G0SSKZ", u"CHAR(1)", u"Generate quantity", false,
     u""},
    {71, 1, u"UAG0CPP.G0SSN3", u"CHAR(1)", u"Error flag 1", false,
     u""},
    {72, 1, u"UAG0CPP.G0SSN4", u"CHAR(1)", u"Charge line F/SC code", false,
     u""},
    {73, 1, u"UAG0CPP.G0ABP4", u"DECIMAL(15, 2)", u"Prorate amount (transaction currency)", false,
     u""},
    {74, 1, u"UAG0CPP.G0ABP5", u"DECIMAL(15, 2)", u"Prorate amount (financial division currency)", false,
     u""},
    {75, 1, u"UAG0CPP.G0SSWI", u"CHAR(1)", u"Subject to withholding?", false,
     u"0 = No, 1= yes"},
    {76, 1, u"UAG0CPP.G0CERA", u"CHAR(15)", u"Item tax class ID", false,
     u""},
    {77, 1, u"UAG0CPP.G0CEFQ", u"CHAR(3)", u"Tax indicator", false,
     u""},
    {78, 1, u"UAG0CPP.G0CEQ9", u"CHAR(10)", u"Tax transaction type", false,
     u""},
    {79, 1, u"UAG0CPP.G0CEDM", u"CHAR(10)", u"Debit memo number", false,
     u""},
};

static_assert(sizeof(kCatalogue) / sizeof(kCatalogue[0]) == CSetupMappingModel::kCatalogueSize);

}  // namespace

bool CSetupMappingModel::DefineField(int index, std::int32_t group,
                                     const std::u16string& identifier,
                                     const std::u16string& caption, const std::u16string& note,
                                     const std::u16string& sqlType, bool required) {
  if (index < 0 || index >= kSlotCount) return false;
  auto& slot = slots_[static_cast<std::size_t>(index)];
  slot.group = group;
  slot.identifier = identifier;
  slot.caption = caption;
  slot.note = note;
  slot.sqlType = sqlType;
  slot.required = required;
  return true;
}

bool CSetupMappingModel::BuildCatalogue() {
  for (const auto& row : kCatalogue) {
    DefineField(row.slot, row.group, row.identifier, row.caption, row.note, row.sqlType,
                row.required);
  }
  return true;
}

int CSetupMappingModel::FindByIdentifier(const std::u16string& destination) const {
  // Undefined slots have no identifier; an empty destination names none of them.
  if (destination.empty()) return -1;
  for (int i = 0; i < kSlotCount; ++i) {
    if (slots_[static_cast<std::size_t>(i)].identifier == destination) return i;
  }
  return -1;
}

}  // namespace mirdane

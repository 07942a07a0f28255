#include "reports/report_templates.h"

namespace saldor {
namespace {

constexpr TemplateField kOrderStatusFields[] = {
    {"OrderNumber", FieldFormat::kText},    {"ItemNumber", FieldFormat::kText},
    {"ShipmentNumber", FieldFormat::kText}, {"VendorName", FieldFormat::kText},
    {"ItemStatus", FieldFormat::kText},     {"ExpectedShipDate", FieldFormat::kText},
    {"ShipDate", FieldFormat::kText},       {"ExpectedDeliveryDate", FieldFormat::kText},
    {"ShipQty", FieldFormat::kText},        {"TrackNumber", FieldFormat::kText},
    {"InvoiceNumber", FieldFormat::kText},  {"ConfirmationNumber", FieldFormat::kText},
};

constexpr TemplateField kAvailInvFields[] = {
    {"ItemID", FieldFormat::kWholeNumber},
    {"CustomerPartNumber1", FieldFormat::kText},
    {"CustomerPartNumber2", FieldFormat::kText},
    {"CustomerPartNumber3", FieldFormat::kText},
    {"UOM", FieldFormat::kText},
    {"RunLotNumber", FieldFormat::kText},
    {"QtyAvail", FieldFormat::kTwoDecimals},
    {"InProduction", FieldFormat::kTwoDecimals},
    {"DueDate2", FieldFormat::kDate},
};

}  // namespace

const ReportTemplate crptSaldorOrderStatus{"crptSaldorOrderStatus", kOrderStatusFields, false};
const ReportTemplate crptSaldorAvailInv{"crptSaldorAvailInv", kAvailInvFields, true};

}  // namespace saldor

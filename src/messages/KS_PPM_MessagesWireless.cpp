#include "KS_PPM_MessagesWireless.h"

#include "KS_ListWindow.h"
#include "KS_MessageLayouts.h"
#include "KS_PPM_MessagesWirelessAdd.h"
#include "KS_String.h"
#include "KS_WindowRegistry.h"
#include "KS_WirelessTable.h"

void FillWirelessRow(SortableRow& row, const std::string& record, int index)
{
    const WirelessMessageRecord r = DecodeRecord<WirelessMessageRecord>(record);
    const std::string_view nul("\0", 1);
    const long repeat = FieldNumber(r.RepeatMinutes);
    row.setText(0, ToQString(ZeroPad(index + 1, 3)));
    row.setText(1, ToQString(ZeroPad(WirelessDeviceCode(r), 7)));
    row.setText(2, ToQString(ZeroPad(FieldNumber(r.CancelDeviceCode), 3)));
    row.setText(3, ToQString(ZeroPad(FieldNumber(r.Pager), 3)));
    row.setText(4, repeat == 0 ? QString("None") : QString::number(repeat) + " Min.");
    // A message of blanks is no message: its cell stays empty rather than
    // showing the list's mark of a cut text.
    // A line break kept in the file would draw the row two lines high; it goes to the unit as a space.
    const std::string message = BlankControlChars(StripChar(r.Message, nul));
    row.setText(5, Trim(message).empty() ? QString() : ToQString(message));
    row.setText(6, r.Supervised == "Y" ? "Yes" : "No");
    row.setText(7, QString::number(FieldNumber(r.ActivationPlan)));
    row.setText(8, QString::number(FieldNumber(r.CallType)));
}

MessageListDefinition WirelessList()
{
    MessageListDefinition definition;
    definition.formName = FormName::MessagesWireless.data();
    definition.caption = "Wireless Devices Messages";
    definition.columns = {"No.",     "Code",       "Cancel Code",     "Pager",    "Repeat Time",
                    "Message", "Supervised", "Activation Plan", "Call Type"};
    definition.weights = {0.7, 1, 1, 1, 1, 3, 1, 0, 0};
    definition.params = WirelessTableParams();
    definition.codec = std::make_shared<WirelessCodec>();
    definition.fillRow = FillWirelessRow;
    definition.sortingOn = true;
    definition.makeEditor = [](KS_PPM_MessagesTable& list) { return new KS_PPM_MessagesWirelessAdd(list); };
    return definition;
}

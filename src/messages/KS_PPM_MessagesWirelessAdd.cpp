#include "KS_PPM_MessagesWirelessAdd.h"

#include <QTreeWidget>

#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_ListWindow.h"
#include "KS_MessageLayouts.h"
#include "KS_Messages.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_PPM_MessagesWireless.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_UserDirectory.h"

namespace {

// A code box left empty stays empty; digits are zero-padded to the width.
void PadCodeBox(QLineEdit* box, int width)
{
    const std::string text = Trim(FromQString(box->text()));
    if (!text.empty())
        box->setText(ToQString(ZeroPad(FieldNumber(text), width)));
}

int SelectedCode(QComboBox* combo) { return combo->currentIndex() < 0 ? 0 : combo->currentData().toInt(); }

} // namespace

KS_PPM_MessagesWirelessAdd::KS_PPM_MessagesWirelessAdd(KS_PPM_MessagesTable& list)
    : MessageEditDialog(list, "KS_PPM_MessagesWirelessAdd", "Wireless Devices", 6120, 3720)
{
    const char* box = "pbxDetails";
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {60, 60, 6000, 3000}),
        Control(lblDeviceCode, "lblDeviceCode", "&Device Code:", {120, 150, 1800, 255}, 0, box),
        Control(txtDeviceCode, "txtDeviceCode", DigitsText(7), {1980, 120, 1100, 315}, 7, box),
        Control(lblCancelDeviceCode, "lblCancelDeviceCode", "Ca&ncel Device Code:", {120, 510, 1800, 255}, 0, box),
        Control(txtCancelDeviceCode, "txtCancelDeviceCode", DigitsText(3), {1980, 480, 600, 315}, 3, box),
        Control(lblUserID, "lblUserID", "Send To &Pager:", {120, 870, 1800, 255}, 0, box),
        Control(txtUserID, "txtUserID", DigitsText(3), {1980, 840, 600, 315}, 3, box),
        Control(lblRepeatTime, "lblRepeatTime", "&Repeat Time:", {120, 1230, 1800, 255}, 0, box),
        Control(cmbRepeatTime, "cmbRepeatTime", "", {1980, 1200, 1500, 315}, 0, box),
        Control(lblMessage, "lblMessage", "&Message Text:", {120, 1590, 1800, 255}, 0, box),
        Control(txtMessage, "txtMessage", "", {1980, 1560, 3900, 315}, 30, box),
        Control(lblActiviationPlan, "lblActiviationPlan", "Acti&viation Plan:", {120, 1950, 1800, 255}, 0, box),
        Control(cmbActiviationPlan, "cmbActiviationPlan", "", {1980, 1920, 3900, 315}, 0, box),
        Control(lblCallType, "lblCallType", "Call &Type:", {120, 2310, 1800, 255}, 0, box),
        Control(cmbCallType, "cmbCallType", "", {1980, 2280, 1500, 315}, 0, box),
        Control(chkSupervised, "chkSupervised", "&Supervised", {1980, 2670, 1800, 255}, 0, box),
        Control(cmdOk, "cmdOk", "&Ok", {3450, 3180, 1215, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {4785, 3180, 1215, 375}),
    };
    BuildControls(Client(), controls);
    FormConventions* conventions = FormConventions::Install(this);
    for (QLineEdit* digits : {txtDeviceCode, txtCancelDeviceCode, txtUserID})
        conventions->SetKeyFilter(digits, DigitsOnlyKey);
    connect(txtUserID, &QLineEdit::editingFinished, this, &KS_PPM_MessagesWirelessAdd::txtUserID_Validate);
    connect(txtDeviceCode, &QLineEdit::editingFinished, this, &KS_PPM_MessagesWirelessAdd::txtDeviceCode_Validate);
    connect(txtCancelDeviceCode, &QLineEdit::editingFinished, this,
            &KS_PPM_MessagesWirelessAdd::txtCancelDeviceCode_Validate);
    FillRepeatMinutesCombo(AsOptionList(cmbRepeatTime), 99, 0);
    FillActivationPlanCombo(AsOptionList(cmbActiviationPlan), 0);
    FillCallTypeCombo(AsOptionList(cmbCallType), 0);
    FinishLoad(" - Device ");
}

void KS_PPM_MessagesWirelessAdd::LoadSelectedMessage()
{
    txtDeviceCode->setText(row_->text(1));
    txtCancelDeviceCode->setText(row_->text(2));
    txtUserID->setText(ToQString(ZeroPad(FieldNumber(FromQString(row_->text(3))), 3)));
    SelectComboText(cmbRepeatTime, Trim(FromQString(row_->text(4))));
    txtMessage->setText(ToQString(Trim(FromQString(row_->text(5)))));
    chkSupervised->setChecked(row_->text(6) == "Yes");
    SelectComboText(cmbActiviationPlan, ActivationPlanText(FromQString(row_->text(7)), true));
    SelectComboText(cmbCallType, CallTypeText(FromQString(row_->text(8)), true));
}

void KS_PPM_MessagesWirelessAdd::txtUserID_Validate() { FormatPagerBox(txtUserID); }

void KS_PPM_MessagesWirelessAdd::txtDeviceCode_Validate() { PadCodeBox(txtDeviceCode, 7); }

void KS_PPM_MessagesWirelessAdd::txtCancelDeviceCode_Validate() { PadCodeBox(txtCancelDeviceCode, 3); }

bool KS_PPM_MessagesWirelessAdd::CheckFields() { return PagerBoxFilled(txtUserID, "Pager No is not valid. Please confirm Pager No."); }

bool KS_PPM_MessagesWirelessAdd::SaveWirelessMessage()
{
    const WirelessDialogFields fields{
        .slot = SelectedSlot(),
        .deviceCode = FromQString(txtDeviceCode->text()),
        .cancelCode = FromQString(txtCancelDeviceCode->text()),
        .pager = FromQString(txtUserID->text()),
        .repeatMinutes = SelectedCode(cmbRepeatTime),
        .message = FromQString(txtMessage->text()),
        .activationPlan = SelectedCode(cmbActiviationPlan),
        .supervised = chkSupervised->isChecked(),
        .callType = SelectedCode(cmbCallType),
    };
    const WirelessLayout layout = ChooseWirelessLayout(gEncoderModelLetter, gEncoderVersionText);
    const std::string record = EncodeRecord(MakeWirelessRecord(layout, fields));
    if (!list_.Engine().SaveSlot(fields.slot, record))
        return false;
    if (list_.mode_ != 1 && row_) {
        FillWirelessRow(static_cast<SortableRow&>(*row_), record, fields.slot - 1);
        KS_PPM_MessagesTable::ShowUnpadded(row_, {5});
        // The list keeps the call type as chosen here; the file holds the code the layout can carry.
        row_->setText(8, QString::number(fields.callType));
        list_.ShowSavedRow(row_);
    }
    return true;
}

QWidget* KS_PPM_MessagesWirelessAdd::FocusAfterFailedSave() const { return txtMessage; }

#include "KS_PPM_MessagesAlarmAdd.h"

#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "KS_FormBuilder.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"

namespace {

constexpr int kRepeatMinutesEntries = 99;
constexpr int kDelaySecondsEntries = 240;
constexpr int kLastSafeInputType = 3; // "Voltage, Low-High"

// The threshold box shows at least two digits, a minus sign before them
// below zero, and the unit's " -+" marker after them.
QString thresholdText(long long value)
{
    return ToQString((value < 0 ? "-" : "") + ZeroPad(value < 0 ? -value : value, 2) + " -+");
}

long long boxNumber(const QLineEdit* box) { return std::llround(Val(FromQString(box->text()))); }

std::string column(const QTreeWidgetItem* row, int col) { return row ? FromQString(row->text(col)) : std::string(); }

// Selects a list entry by its text; a text the list does not have changes nothing.
void showText(QComboBox* combo, const std::string& text)
{
    const int index = combo->findText(ToQString(text));
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void showPosition(QComboBox* combo, long long position)
{
    if (position >= 0 && position < combo->count())
        combo->setCurrentIndex(static_cast<int>(position));
}

int itemData(const QComboBox* combo) { return combo->currentData().toInt(); }

} // namespace

KS_PPM_MessagesAlarmAdd::KS_PPM_MessagesAlarmAdd(KS_PPM_MessagesTable& list)
    : MessageEditDialog(list, "KS_PPM_MessagesAlarmAdd", "Alarm Messages", 7800, 5450)
    , unit_(CurrentAlarmUnit())
    , rules_(AlarmDialogRulesFor(gEncoderModelName, gEncoderModelLetter, gEncoderOptionFlag))
{
    const FormControl controls[] = {
        Control(lblUserID, "lblUserID", "Send To &Pager:", {120, 150, 1600, 255}),
        Control(txtUserID, "txtUserID", "", {1800, 120, 600, 315}, 3),
        Control(lblUserIDCancel, "lblUserIDCancel", "Cancel P&ager:", {4200, 150, 1600, 255}),
        Control(txtUserIDCancel, "txtUserIDCancel", "", {5900, 120, 600, 315}, 3),
        Control(lblMessage, "lblMessage", "&Message Text:", {120, 550, 1600, 255}),
        Control(txtMessage, "txtMessage", "", {1800, 520, 5700, 315}, 30),
        Control(lblMessageCancel, "lblMessageCancel", "Cancel M&essage:", {120, 950, 1600, 255}),
        Control(txtMessageCancel, "txtMessageCancel", "", {1800, 920, 5700, 315}, 30),
        Control(lblRepeatTime, "lblRepeatTime", "&Repeat Time:", {120, 1350, 1600, 255}),
        Control(cmbRepeatTime, "cmbRepeatTime", "", {1800, 1320, 1600, 315}),
        Control(lblInputDelay, "lblInputDelay", "Input &Delay:", {4200, 1350, 1600, 255}),
        Control(cmbInputDelay, "cmbInputDelay", "", {5900, 1320, 1600, 315}),
        Control(lblStatus, "lblStatus", "Status:", {120, 1750, 1600, 255}),
        Control(txtStatus, "txtStatus", "", {1800, 1720, 600, 315}, 1),
        Control(lblRealTime, "lblRealTime", "RealTime:", {4200, 1750, 1600, 255}),
        Control(txtRealTime, "txtRealTime", "", {5900, 1720, 600, 315}, 3),
        Control(lblActiviationPlan, "lblActiviationPlan", "Acti&viation Plan:", {120, 2150, 1600, 255}),
        Control(cmbActiviationPlan, "cmbActiviationPlan", "", {1800, 2120, 3000, 315}),
        Control(chkSendCancel, "chkSendCancel", "Send Cancel Page", {120, 2520, 2400, 315}),
        Control(chkActive, "chkActive", "Alarm Point is Active", {4200, 2520, 3000, 315}),
        Control(fraOptions, "fraOptions", "QX6860 / QX6870 Options", {120, 2920, 7560, 1950}),
        Control(lblInputType, "lblInputType", "&Input Type:", {120, 330, 1500, 255}, 0, "fraOptions"),
        Control(cmbInputType, "cmbInputType", "", {1680, 300, 3400, 315}, 0, "fraOptions"),
        Control(lblThreshold, "lblThreshold", "Thres&hold:", {120, 730, 1500, 255}, 0, "fraOptions"),
        Control(txtThreshold, "txtThreshold", "", {1680, 700, 900, 315}, 0, "fraOptions"),
        Control(updThreshold, "updThreshold", "", {2580, 700, 300, 315}, 0, "fraOptions"),
        Control(lblPulse, "lblPulse", "Pul&se:", {3900, 730, 1300, 255}, 0, "fraOptions"),
        Control(cmbPulse, "cmbPulse", "", {5300, 700, 2000, 315}, 0, "fraOptions"),
        Control(lblRepeatCount, "lblRepeatCount", "Repeat Co&unt:", {120, 1130, 1500, 255}, 0, "fraOptions"),
        Control(cmbRepeatCount, "cmbRepeatCount", "", {1680, 1100, 2000, 315}, 0, "fraOptions"),
        Control(lblRepeatTimeModule, "lblRepeatTimeModule", "Repeat &Time:", {3900, 1130, 1300, 255}, 0,
                "fraOptions"),
        Control(cmbRepeatTimeModule, "cmbRepeatTimeModule", "", {5300, 1100, 2000, 315}, 0, "fraOptions"),
        Control(lblInputDelayModule, "lblInputDelayModule", "Input &Delay:", {120, 1530, 1500, 255}, 0,
                "fraOptions"),
        Control(cmbInputDelayModule, "cmbInputDelayModule", "", {1680, 1500, 2000, 315}, 0, "fraOptions"),
        Control(lblRelay, "lblRelay", "Active &Relay:", {3900, 1530, 1300, 255}, 0, "fraOptions"),
        Control(txtRelay, "txtRelay", "", {5300, 1500, 600, 315}, 2, "fraOptions"),
        Control(updRelay, "updRelay", "", {5900, 1500, 300, 315}, 99, "fraOptions"),
        Control(cmdOk, "cmdOk", "&Ok", {5100, 4980, 1215, 375}),
        Control(cmdCancel, "cmdCancel", "&Cancel", {6420, 4980, 1215, 375}),
    };
    BuildControls(Client(), controls);

    FormConventions* conventions = FormConventions::Install(this);
    conventions->SetKeyFilter(txtUserID, DigitsOnlyKey);
    conventions->SetKeyFilter(txtUserIDCancel, DigitsOnlyKey);
    conventions->SetKeyFilter(txtThreshold, [](int key) { return DecimalKeyFilter(key, true); });
    conventions->SetKeyFilter(txtRelay, [](int key) { return DecimalKeyFilter(key); });
    // A letter typed here would reach the unit and the file as 0.
    conventions->SetKeyFilter(txtStatus, DigitsOnlyKey);
    conventions->SetKeyFilter(txtRealTime, DigitsOnlyKey);
    conventions->ExemptFromSelectAll(txtStatus);
    conventions->ExemptFromSelectAll(txtRealTime);

    FillRepeatMinutesCombo(AsOptionList(cmbRepeatTime), kRepeatMinutesEntries, 0);
    FillDelaySecondsCombo(AsOptionList(cmbInputDelay), kDelaySecondsEntries, 0);
    FillActivationPlanCombo(AsOptionList(cmbActiviationPlan), 0);
    FillAlarmPulseCombo(AsOptionList(cmbPulse), 0);
    FillAlarmInputTypeCombo(AsOptionList(cmbInputType), 0);
    FillAlarmRepeatTimeModuleCombo(AsOptionList(cmbRepeatTimeModule), 0);
    FillAlarmRepeatCountCombo(AsOptionList(cmbRepeatCount), 0);
    FillAlarmInputDelayModuleCombo(AsOptionList(cmbInputDelayModule), 0);
    txtMessage->setMaxLength(30);
    applyUnitLimits();
    updRelay->setRange(0, 99);
    FinishLoad(" - Alarm Point ");
    applyModelRules();

    connect(cmbInputType, &QComboBox::currentIndexChanged, this, &KS_PPM_MessagesAlarmAdd::cmbInputType_Click);
    connect(cmbInputType, &QComboBox::activated, this, &KS_PPM_MessagesAlarmAdd::cmbInputType_Validate);
    connect(cmbRepeatCount, &QComboBox::currentIndexChanged, this, &KS_PPM_MessagesAlarmAdd::cmbRepeatCount_Click);
    connect(txtUserID, &QLineEdit::editingFinished, this, &KS_PPM_MessagesAlarmAdd::txtUserID_Validate);
    connect(txtUserIDCancel, &QLineEdit::editingFinished, this, &KS_PPM_MessagesAlarmAdd::txtUserIDCancel_Validate);
    connect(txtThreshold, &QLineEdit::editingFinished, this, &KS_PPM_MessagesAlarmAdd::txtThreshold_Validate);
    connect(updThreshold, &QSpinBox::valueChanged, this, &KS_PPM_MessagesAlarmAdd::updThreshold_Change);
    connect(txtRelay, &QLineEdit::editingFinished, this, &KS_PPM_MessagesAlarmAdd::txtRelay_Validate);
    connect(updRelay, &QSpinBox::valueChanged, this, &KS_PPM_MessagesAlarmAdd::updRelay_Change);
}

void KS_PPM_MessagesAlarmAdd::applyUnitLimits()
{
    // A status the unit sends as a character code can be above 9 and must show whole.
    txtStatus->setMaxLength(AlarmStatusIsCode(SelectAlarmLayout(unit_)) ? 3 : 1);
    txtMessageCancel->setMaxLength(AlarmCancelTextLength(unit_.letter));
    updThreshold->setRange(-rules_.thresholdLimit, rules_.thresholdLimit);
}

// Options a model does not have stay unavailable, whatever the row says; the
// ones it has are offered, as far as the input type and repeat count allow.
void KS_PPM_MessagesAlarmAdd::applyModelRules()
{
    cmbInputType_Click();
    cmbRepeatCount_Click();
    const auto offer = [](std::initializer_list<QWidget*> controls, bool offered) {
        for (QWidget* control : controls)
            control->setEnabled(offered);
    };
    offer({lblUserIDCancel, txtUserIDCancel, lblInputType, cmbInputType, lblThreshold, lblPulse}, rules_.inputOptions);
    if (!rules_.inputOptions)
        offer({txtThreshold, updThreshold, cmbPulse}, false);
    offer({lblRepeatCount, cmbRepeatCount, lblRepeatTimeModule, lblInputDelayModule, cmbInputDelayModule, lblRelay,
           txtRelay, updRelay},
          rules_.moduleOptions);
    if (!rules_.moduleOptions)
        cmbRepeatTimeModule->setEnabled(false);
    // These units keep a repeat count, never minutes: a minute picked there would be dropped.
    offer({lblRepeatTime, cmbRepeatTime}, !AlarmUnitCountsRepeats(unit_));
    // The module units take the delay from their own list; seconds picked here would be dropped.
    offer({lblInputDelay, cmbInputDelay}, !IsAlarmModuleModel(unit_.modelName));
    chkActive->setEnabled(rules_.activeBox);
    chkSendCancel->setEnabled(rules_.sendCancelBox);
}

std::string KS_PPM_MessagesAlarmAdd::UnitRules() const
{
    const AlarmUnit unit = CurrentAlarmUnit();
    return std::to_string(SelectAlarmLayout(unit)) + "|" + unit.letter + "|" + unit.family + "|" + unit.modelName
        + "|" + std::to_string(unit.indexOffset) + "|" + (gEncoderOptionFlag ? "option" : "");
}

void KS_PPM_MessagesAlarmAdd::ApplyUnitRules()
{
    // The other unit reads the row's stored repeat and delay otherwise: shown
    // as the first unit read them they would go out, or into the file, in a
    // sense the operator never saw.
    const bool repeatAsLoaded = cmbRepeatTime->currentIndex() == loadedRepeatTimeIndex_
        && cmbRepeatCount->currentIndex() == loadedRepeatCountIndex_;
    const bool delayAsLoaded = cmbInputDelay->currentIndex() == loadedDelayIndex_
        && cmbInputDelayModule->currentIndex() == loadedDelayModuleIndex_;
    unit_ = CurrentAlarmUnit();
    rules_ = AlarmDialogRulesFor(gEncoderModelName, gEncoderModelLetter, gEncoderOptionFlag);
    applyUnitLimits();
    // A threshold past the new unit's limit shows as the limit it will be saved as.
    const long long threshold = boxNumber(txtThreshold);
    if (threshold < updThreshold->minimum() || threshold > updThreshold->maximum())
        txtThreshold_Validate();
    if (row_ && repeatAsLoaded)
        loadRepeat();
    if (row_ && delayAsLoaded)
        loadDelay();
    applyModelRules();
}

void KS_PPM_MessagesAlarmAdd::LoadSelectedMessage()
{
    const auto col = [this](int c) { return column(row_, c); };
    txtUserID->setText(ToQString(Trim(col(AlarmColPager))));
    txtMessage->setText(ToQString(Trim(col(AlarmColMessage))));
    txtUserIDCancel->setText(ToQString(Trim(col(AlarmColCancelPager))));
    txtMessageCancel->setText(ToQString(Trim(col(AlarmColCancelMessage))));
    showText(cmbRepeatTime, col(AlarmColRepeatTime));
    txtStatus->setText(ToQString(col(AlarmColStatus)));
    loadedStatus_ = txtStatus->text();
    txtRealTime->setText(ToQString(col(AlarmColRealTime)));
    txtRelay->setText(ToQString(col(AlarmColRelay)));
    chkActive->setChecked(col(AlarmColActive) == "Yes");
    chkSendCancel->setChecked(col(AlarmColSendCancel) == "1");

    showPosition(cmbInputType, AlarmListCode(AlarmCodeList::InputType, col(AlarmColInputType)) - 1);
    showPosition(cmbRepeatTimeModule, AlarmListCode(AlarmCodeList::RepeatTimeModule, col(AlarmColRepeatModule)) - 1);
    showPosition(cmbPulse, AlarmListCode(AlarmCodeList::Pulse, col(AlarmColPulse)) - 1);
    showPosition(cmbInputDelayModule, std::llround(Val(col(AlarmColInputDelayModule))));
    showText(cmbActiviationPlan, ActivationPlanText(col(AlarmColPlan), true));

    const double threshold = Val(col(AlarmColThreshold));
    if (threshold < updThreshold->minimum())
        txtThreshold->setText(QString::number(updThreshold->minimum()));
    else if (threshold > updThreshold->maximum())
        txtThreshold->setText(QString::number(updThreshold->maximum()));
    else
        txtThreshold->setText(ToQString(col(AlarmColThreshold)));
    {
        const QSignalBlocker quiet(updThreshold);
        updThreshold->setValue(static_cast<int>(boxNumber(txtThreshold)));
    }

    loadRepeat();
    loadDelay();
}

void KS_PPM_MessagesAlarmAdd::loadRepeat()
{
    const long long repeat = std::llround(Val(column(row_, AlarmColRepeatMinutes)));
    if (AlarmUnitCountsRepeats(unit_))
        showPosition(cmbRepeatCount, repeat);
    else
        showText(cmbRepeatTime, repeat == 0 ? "None" : std::to_string(repeat) + " Min.");
    loadedRepeatTimeIndex_ = cmbRepeatTime->currentIndex();
    loadedRepeatCountIndex_ = cmbRepeatCount->currentIndex();
}

void KS_PPM_MessagesAlarmAdd::loadDelay()
{
    const std::string delay = column(row_, AlarmColInputDelay);
    const std::string stored = column(row_, AlarmColInputDelayModule);
    // A stored value the module list has no entry for shows none: no entry is taken for it unseen.
    if (IsAlarmModuleModel(unit_.modelName))
        cmbInputDelayModule->setCurrentIndex(delay.empty() ? 0 : AlarmModuleDelayCode(std::llround(Val(delay))));
    else if (const int seconds = AlarmDelayShownSeconds(stored, delay, unit_); seconds >= 0)
        showText(cmbInputDelay, seconds == 0 ? "None" : std::to_string(seconds) + " Sec.");
    loadedDelayIndex_ = cmbInputDelay->currentIndex();
    loadedDelayModuleIndex_ = cmbInputDelayModule->currentIndex();
    loadedDelay_ = stored;
}

void KS_PPM_MessagesAlarmAdd::cmbInputType_Click()
{
    const int type = cmbInputType->currentIndex();
    const bool threshold = AlarmThresholdEnabled(type);
    txtThreshold->setEnabled(threshold);
    updThreshold->setEnabled(threshold);
    if (!threshold)
        txtThreshold->setText("00");
    const bool pulse = AlarmPulseEnabled(rules_, type);
    cmbPulse->setEnabled(pulse);
    if (!pulse)
        cmbPulse->setCurrentIndex(0);
}

void KS_PPM_MessagesAlarmAdd::cmbInputType_Validate()
{
    if (AlarmInputTypeAllowed(rules_, cmbInputType->currentIndex()))
        return;
    ShowMessage("Selected Input Type not supported by " + gEncoderModelName + ".", kButtonsOk, kAnswerOk,
                kIconExclamation);
    cmbInputType->setCurrentIndex(kLastSafeInputType);
}

void KS_PPM_MessagesAlarmAdd::cmbRepeatCount_Click()
{
    const bool repeats = cmbRepeatCount->currentIndex() > 0;
    cmbRepeatTimeModule->setEnabled(repeats);
    if (!repeats)
        cmbRepeatTimeModule->setCurrentIndex(0);
}

void KS_PPM_MessagesAlarmAdd::txtUserID_Validate()
{
    txtUserID->setText(ToQString(ZeroPad(std::clamp(boxNumber(txtUserID), 0LL, 999LL), 3)));
}

void KS_PPM_MessagesAlarmAdd::txtUserIDCancel_Validate()
{
    txtUserIDCancel->setText(ToQString(ZeroPad(std::clamp(boxNumber(txtUserIDCancel), 0LL, 999LL), 3)));
}

void KS_PPM_MessagesAlarmAdd::txtThreshold_Validate()
{
    const long long value
        = std::clamp<long long>(boxNumber(txtThreshold), updThreshold->minimum(), updThreshold->maximum());
    txtThreshold->setText(thresholdText(value));
    const QSignalBlocker quiet(updThreshold);
    updThreshold->setValue(static_cast<int>(value));
}

void KS_PPM_MessagesAlarmAdd::updThreshold_Change() { txtThreshold->setText(thresholdText(updThreshold->value())); }

void KS_PPM_MessagesAlarmAdd::txtRelay_Validate()
{
    const long long value = std::clamp<long long>(boxNumber(txtRelay), updRelay->minimum(), updRelay->maximum());
    txtRelay->setText(ToQString(ZeroPad(value, 2)));
    const QSignalBlocker quiet(updRelay);
    updRelay->setValue(static_cast<int>(value));
}

void KS_PPM_MessagesAlarmAdd::updRelay_Change() { txtRelay->setText(ToQString(ZeroPad(updRelay->value(), 2))); }

AlarmDialogValues KS_PPM_MessagesAlarmAdd::values() const
{
    AlarmDialogValues v;
    v.pager = FromQString(txtUserID->text());
    v.message = FromQString(txtMessage->text());
    v.cancelPager = FromQString(txtUserIDCancel->text());
    v.cancelMessage = FromQString(txtMessageCancel->text());
    v.repeatMinutes = itemData(cmbRepeatTime);
    v.delaySeconds = itemData(cmbInputDelay);
    v.delayTyped = cmbInputDelay->currentIndex() != loadedDelayIndex_;
    v.loadedDelay = loadedDelay_;
    v.status = FromQString(txtStatus->text());
    v.statusTyped = txtStatus->text() != loadedStatus_;
    v.realTime = FromQString(txtRealTime->text());
    v.plan = itemData(cmbActiviationPlan);
    v.inputType = cmbInputType->currentIndex();
    // A threshold typed past the limit and never left is still held to it.
    v.threshold = static_cast<int>(
        std::clamp<long long>(boxNumber(txtThreshold), updThreshold->minimum(), updThreshold->maximum()));
    v.pulse = cmbPulse->currentIndex();
    v.repeatCount = cmbRepeatCount->currentIndex();
    v.repeatModule = cmbRepeatTimeModule->currentIndex();
    v.delayModule = cmbInputDelayModule->currentIndex();
    v.delayModuleTyped = cmbInputDelayModule->currentIndex() != loadedDelayModuleIndex_;
    v.relay = static_cast<int>(std::clamp(boxNumber(txtRelay), 0LL, 99LL));
    v.sendCancel = chkSendCancel->isChecked();
    v.active = chkActive->isChecked();
    return v;
}

void KS_PPM_MessagesAlarmAdd::updateRow(const AlarmSave& save)
{
    // The row reads as the list reads the record just stored, so the next
    // edit opens with what was saved, in the sense this unit keeps it: a
    // delay picked in seconds is not read back as a module position, nor a
    // status typed as the one from before.
    const auto texts = AlarmRowTexts(save.record, save.slot, save.layout);
    for (int col = 0; col < kAlarmColumnCount; ++col)
        if (col != AlarmColPoint && col != AlarmColRepeatCount)
            row_->setText(col, ToQString(texts[static_cast<std::size_t>(col)]));
    row_->setText(AlarmColRepeatTime, cmbRepeatTime->currentText());
    for (const int col : {AlarmColRepeatMinutes, AlarmColInputDelay})
        row_->setText(col, QString::number(std::llround(Val(texts[static_cast<std::size_t>(col)]))));
    row_->setText(AlarmColActive, chkActive->isChecked() ? "Yes" : "No");
}

bool KS_PPM_MessagesAlarmAdd::SaveAlarmMessage()
{
    const int slot = SelectedSlot();
    const AlarmSave save = BuildAlarmSave(values(), slot, unit_);
    const bool saved
        = list_.Engine().SaveSlot(slot, EncodeRecord(save.record), SlotWrite{"Z", save.data, kAlarmSaveTicks, 3});
    if (saved && list_.mode_ != 1 && row_) {
        updateRow(save);
        list_.ShowSavedRow(row_);
    }
    return saved;
}

bool KS_PPM_MessagesAlarmAdd::CheckFields()
{
    if (Trim(FromQString(txtUserID->text())).empty()) {
        ShowMessage("Pager is not valid. Please confirm Pager No.", kButtonsOk, kAnswerOk, kIconCritical);
        SafeSetFocus(txtUserID);
        return false;
    }
    const AlarmDialogValues typed = values();
    for (const auto& [box, why] : {std::pair<QWidget*, std::string>{txtStatus, AlarmStatusRefused(typed, unit_)},
                                   {txtRealTime, AlarmRealTimeRefused(typed, unit_)},
                                   {IsAlarmModuleModel(unit_.modelName) ? static_cast<QWidget*>(cmbInputDelayModule)
                                                                        : cmbInputDelay,
                                    AlarmInputDelayRefused(typed, unit_)}}) {
        if (why.empty())
            continue;
        ShowMessage(why, kButtonsOk, kAnswerOk, kIconExclamation);
        SafeSetFocus(box);
        return false;
    }
    return true;
}

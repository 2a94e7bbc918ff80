// The alarm-input list window: the shared message-table list with the
// alarm table's twenty columns (sixteen of them hidden, carrying what the
// edit dialog reads back) and its own edit dialog.

#include "KS_PPM_MessagesAlarm.h"

#include "KS_AlarmTable.h"
#include "KS_ListWindow.h"
#include "KS_PPM_MessagesAlarmAdd.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_String.h"
#include "KS_WindowRegistry.h"

MessageListDefinition AlarmList()
{
    MessageListDefinition definition;
    definition.formName = FormName::MessagesAlarm.data();
    definition.caption = "Alarm Messages";
    for (int i = 0; i < kAlarmColumnCount; ++i) {
        definition.columns.push_back(QString::fromLatin1(kAlarmColumnCaptions[static_cast<std::size_t>(i)]));
        definition.weights.push_back(kAlarmColumnWidths[static_cast<std::size_t>(i)]);
    }
    definition.params = AlarmTableParams();
    definition.codec = std::make_shared<AlarmPointCodec>();
    definition.fillRow = [](SortableRow& row, const std::string& record, int index) {
        const auto texts
            = AlarmRowTexts(DecodeRecord<AlarmPointRecord>(record), index + 1, SelectAlarmLayout(CurrentAlarmUnit()));
        for (int col = 0; col < kAlarmColumnCount; ++col)
            row.setText(col, ToQString(texts[static_cast<std::size_t>(col)]));
    };
    // A unit of unknown kind reads back only point numbers: a Download would
    // replace the file, its table's only copy, with blanks.
    definition.downloadAllowed = [] { return AlarmLayoutReadsBack(SelectAlarmLayout(CurrentAlarmUnit())); };
    definition.makeEditor = [](KS_PPM_MessagesTable& list) { return new KS_PPM_MessagesAlarmAdd(list); };
    return definition;
}

#include "KS_MessageWindows.h"

#include "KS_ListWindow.h"
#include "KS_MainForm.h"
#include "KS_PPM_MessagesAlarm.h"
#include "KS_PPM_MessagesFreetext.h"
#include "KS_PPM_MessagesSB.h"
#include "KS_PPM_MessagesTable.h"
#include "KS_PPM_MessagesTableAdd.h"
#include "KS_PPM_MessagesWireless.h"
#include "KS_Records.h"
#include "KS_String.h"
#include "KS_TextTables.h"
#include "KS_WindowRegistry.h"

namespace {

// The fast-key and PABX lists: the slot label, then the 30-character text as stored.
MessageListDefinition textTableList(const TextTableDefinition& table)
{
    MessageListDefinition definition;
    definition.formName = table.listForm;
    definition.caption = table.caption;
    definition.columns = {QString::fromLatin1(table.keyColumn), "Message"};
    definition.weights = {1, 7};
    definition.params = table.params;
    definition.codec = std::make_shared<TableMessageCodec>(table.letter);
    definition.sortingOn = !table.keyLabels;
    definition.fillRow = [keyLabels = table.keyLabels](SortableRow& row, const std::string& record, int index) {
        const int slot = index + 1;
        row.setText(0, ToQString(keyLabels ? FastkeyLabel(slot) : ZeroPad(slot, 2) + " "));
        // A line break kept in the file would draw the row two lines high; it goes to the unit as a space.
        row.setText(1, ToQString(BlankControlChars(
                           StripChar(DecodeRecord<TableMessage>(record).Text, std::string_view("\0", 1)))));
    };
    definition.makeEditor = [&table](KS_PPM_MessagesTable& list) { return new KS_PPM_MessagesTableAdd(list, table); };
    return definition;
}

void registerTextTable(const TextTableDefinition& table)
{
    RegisterWindow(table.listForm, [&table](QWidget* owner) {
        return static_cast<QWidget*>(new KS_PPM_MessagesTable(owner, textTableList(table)));
    });
}

} // namespace

void RegisterMessageWindows()
{
    registerTextTable(FastkeyTable());
    registerTextTable(PABXTable());
    for (MessageListDefinition (*list)() : {&FreetextList, &WirelessList, &AlarmList}) {
        const std::string name = list().formName;
        RegisterWindow(name, [list](QWidget* owner) { return static_cast<QWidget*>(new KS_PPM_MessagesTable(owner, list())); });
    }
    RegisterWindow(FormName::MessagesSB,
                   [](QWidget* owner) { return new KS_PPM_MessagesSB(qobject_cast<KS_MainForm*>(owner)); });
}

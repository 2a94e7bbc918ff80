#include "KS_PPM_MessagesFreetext.h"

#include "KS_FreetextTable.h"
#include "KS_ListWindow.h"
#include "KS_MessageLayouts.h"
#include "KS_PPM_MessagesFreetextAdd.h"
#include "KS_String.h"
#include "KS_WindowRegistry.h"

void FillFreetextRow(SortableRow& row, const std::string& record, int index)
{
    const FreetextEntry entry = DecodeRecord<FreetextEntry>(record);
    const std::string_view nul("\0", 1);
    row.setText(0, ToQString(ZeroPad(index + 1, 2)));
    row.setText(1, ToQString(ZeroPad(FieldNumber(entry.Pager), 3)));
    // A line break kept in the file would draw the row two lines high; it goes to the unit as a space.
    row.setText(2, ToQString(BlankControlChars(StripChar(entry.Keyword, nul))));
    row.setText(3, ToQString(BlankControlChars(StripChar(entry.Message, nul))));
    row.setText(4, entry.ReplaceKeyword != 0 ? "Yes" : "No");
}

MessageListDefinition FreetextList()
{
    MessageListDefinition definition;
    definition.formName = FormName::MessagesFreetext.data();
    definition.caption = "Freetext Messages";
    definition.columns = {"No.", "Pager", "Keyword Text", "Message Text", "Replace Keyword"};
    definition.weights = {1, 1, 4, 4, 2};
    definition.params = FreetextTableParams();
    definition.codec = std::make_shared<FreetextCodec>();
    definition.fillRow = FillFreetextRow;
    definition.sortingOn = true;
    definition.makeEditor = [](KS_PPM_MessagesTable& list) { return new KS_PPM_MessagesFreetextAdd(list); };
    return definition;
}

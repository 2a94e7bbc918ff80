#include <QComboBox>
#include <gtest/gtest.h>

#include "KS_General.h"
#include "OptionList.h"

TEST(OptionList, MemoryListKeepsDataAndIgnoresOutOfRangeSelection)
{
    MemoryOptionList list;
    EXPECT_EQ(list.NewIndex(), -1);
    AddItemWithData(list, "one", 11);
    list.AddItem("two");
    EXPECT_EQ(list.NewIndex(), 1);
    EXPECT_EQ(list.ItemData(0), 11);
    EXPECT_EQ(list.ItemData(1), 0); // never given a datum
    EXPECT_EQ(list.SelectedIndex(), -1);

    list.SetSelectedIndex(1);
    list.SetSelectedIndex(2);
    list.SetSelectedIndex(-2);
    EXPECT_EQ(list.SelectedIndex(), 1);
    list.SetSelectedIndex(-1);
    EXPECT_EQ(list.SelectedIndex(), -1);

    list.Clear();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.NewIndex(), -1);
}

TEST(OptionList, SelectionRuleSelectsOnlyWithinTheList)
{
    MemoryOptionList list;
    FillSBAlignmentCombo(list, 3); // three items: index 3 is beyond the last
    EXPECT_EQ(list.SelectedIndex(), -1);
    FillSBAlignmentCombo(list, 2);
    EXPECT_EQ(list.SelectedIndex(), 2);
    FillSBAlignmentCombo(list, -1);
    EXPECT_EQ(list.SelectedIndex(), -1);
    FillSBAlignmentCombo(list, -5);
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(OptionList, ComboAdapterAddsWithoutSelectingAndKeepsData)
{
    QComboBox combo;
    int changes = 0;
    QObject::connect(&combo, &QComboBox::currentIndexChanged, [&] { ++changes; });

    OptionList& list = AsOptionList(&combo);
    EXPECT_EQ(&list, &AsOptionList(&combo)); // one adapter per combo box
    AddItemWithData(list, "\xB1 0.5 kHz", 1);
    AddItemWithData(list, "Other", -7);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(combo.itemText(0), QString::fromUtf8("\u00B1 0.5 kHz"));
    EXPECT_EQ(list.ItemText(0), "\xB1 0.5 kHz");
    EXPECT_EQ(list.ItemData(1), -7);
    EXPECT_EQ(AsOptionList(&combo).NewIndex(), 1);

    ApplySelection(list, 1);
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(FindItemText(list, "Other"), 1);
    EXPECT_EQ(FindItemText(list, "other"), -1);
}

TEST(DisplayAttributeLists, HaveTheirSizesAndRebuildInsteadOfDoubling)
{
    struct Shape {
        void (*fill)(OptionList&, std::int16_t, bool);
        int count;
    };
    const Shape shapes[] = {
        {FillSBTimeSliceCombo, 9}, {FillSBTimeoutMinutesCombo, 10}, {FillSBColorCombo, 34},
        {FillSBEffectCombo, 24},   {FillSBFontCombo, 10},           {FillSBAlignmentCombo, 3},
    };
    for (const auto& shape : shapes) {
        MemoryOptionList list;
        shape.fill(list, 0, false);
        shape.fill(list, 0, false);
        EXPECT_EQ(list.ItemCount(), shape.count);
        EXPECT_EQ(list.SelectedIndex(), 0);

        shape.fill(list, 0, true);
        EXPECT_EQ(list.ItemCount(), shape.count + 1);
        EXPECT_EQ(list.ItemText(0), "All");
        EXPECT_EQ(list.ItemData(0), kAllItemData);
    }

    MemoryOptionList slotList;
    FillNumberCombo(slotList, 0);
    EXPECT_EQ(slotList.ItemCount(), 99);
    EXPECT_EQ(slotList.ItemText(0), "01");
    EXPECT_EQ(slotList.ItemData(98), 98);
    FillNumberCombo(slotList, 0); // the slot list is the one that appends
    EXPECT_EQ(slotList.ItemCount(), 198);
}

namespace {

// The attribute code as the main window builds it: the data of the selected items.
struct DisplayLists {
    MemoryOptionList slot, slice, timeout, color, effect, font, alignment;
    DisplayLists()
    {
        FillNumberCombo(slot, 0);
        FillSBTimeSliceCombo(slice, 0);
        FillSBTimeoutMinutesCombo(timeout, 0);
        FillSBColorCombo(color, 0);
        FillSBEffectCombo(effect, 0);
        FillSBFontCombo(font, 0);
        FillSBAlignmentCombo(alignment, 0);
    }
    static void pick(OptionList& list, std::string_view text) { list.SetSelectedIndex(FindItemText(list, text)); }
    static std::int16_t code(const OptionList& list)
    {
        return static_cast<std::int16_t>(list.ItemData(list.SelectedIndex()));
    }
    std::string build(bool clear = false) const
    {
        return BuildSBAttributeCode(code(slot), code(slice), code(timeout), code(color), code(effect), code(font),
                                    code(alignment), clear);
    }
};

} // namespace

TEST(SBAttributeCode, FirstItemsGiveTheDefaultCode)
{
    DisplayLists lists;
    EXPECT_EQ(lists.build(), "0011000");
}

TEST(SBAttributeCode, CarriesHighCodesAsLettersInTheirPlaces)
{
    DisplayLists lists;
    DisplayLists::pick(lists.slot, "99");
    DisplayLists::pick(lists.color, "Mixed RGB Colors 3");
    DisplayLists::pick(lists.effect, "Color Cycle");
    DisplayLists::pick(lists.timeout, "60 Minutes");
    const std::string code = lists.build();
    ASSERT_EQ(code.size(), 7u);
    EXPECT_EQ(code.substr(0, 2), "98");
    EXPECT_EQ(code[3], 'N');
    EXPECT_EQ(code[4], 'X');
    EXPECT_EQ(code[5], '9');
}

TEST(SBAttributeCode, WideFontFollowsTheAlignment)
{
    DisplayLists lists;
    DisplayLists::pick(lists.font, "5 Dots Height, Bold, Wide");
    EXPECT_EQ(lists.build().back(), '9');
    DisplayLists::pick(lists.alignment, "Center");
    EXPECT_EQ(lists.build().back(), 'J');
    DisplayLists::pick(lists.alignment, "Right");
    EXPECT_EQ(lists.build().back(), 'T');
}

TEST(SBAttributeCode, ClearingIgnoresEveryAttribute)
{
    DisplayLists lists;
    DisplayLists::pick(lists.color, "Black");
    EXPECT_EQ(lists.build(true), "*");
    EXPECT_EQ(BuildSBAttributeCode(5, 5, 5, 70, 70, 4, 2, true), "*");
}

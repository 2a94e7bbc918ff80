#include <QComboBox>
#include <gtest/gtest.h>

#include "KS_General.h"
#include "OptionList.h"

TEST(OptionList, MemoryListKeepsDataAndIgnoresOutOfRangeSelection)
{
    MemoryOptionList list;
    AddItemWithData(list, "one", 11);
    list.AddItem("two");
    EXPECT_EQ(list.NewIndex(), 1);
    EXPECT_EQ(std::pair(list.ItemData(0), list.ItemData(1)), std::pair(11, 0)); // the second never given a datum
    EXPECT_EQ(list.SelectedIndex(), -1);
    list.SetSelectedIndex(1);
    list.SetSelectedIndex(2);
    list.SetSelectedIndex(-2);
    EXPECT_EQ(list.SelectedIndex(), 1);

    // A filler selects only within the list: three items, so index 3 is beyond the last.
    FillSBAlignmentCombo(list, 3);
    EXPECT_EQ(list.SelectedIndex(), -1);
    FillSBAlignmentCombo(list, 2);
    EXPECT_EQ(list.SelectedIndex(), 2);
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

    ApplySelection(list, 1);
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(FindItemText(list, "Other"), 1);
    EXPECT_EQ(FindItemText(list, "other"), -1);
}

TEST(DisplayAttributeLists, RebuildInsteadOfDoublingWhileTheSlotListAppends)
{
    for (auto fill : {FillSBTimeSliceCombo, FillSBTimeoutMinutesCombo, FillSBColorCombo, FillSBEffectCombo,
                      FillSBFontCombo, FillSBAlignmentCombo}) {
        MemoryOptionList once;
        MemoryOptionList twice;
        fill(once, 0, false);
        fill(twice, 0, false);
        fill(twice, 0, false);
        EXPECT_EQ(twice.ItemCount(), once.ItemCount());
        EXPECT_EQ(twice.SelectedIndex(), 0);
        fill(twice, 0, true);
        EXPECT_EQ(twice.ItemCount(), once.ItemCount() + 1);
        EXPECT_EQ(twice.ItemData(0), kAllItemData);
    }
    MemoryOptionList slotList;
    FillNumberCombo(slotList, 0);
    EXPECT_EQ(slotList.ItemText(0), "01");
    EXPECT_EQ(slotList.ItemData(98), 98);
    FillNumberCombo(slotList, 0);
    EXPECT_EQ(slotList.ItemCount(), 198);
}

TEST(SBAttributeCode, IsBuiltFromTheDataOfTheSelectedItems)
{
    MemoryOptionList slot, slice, timeout, color, effect, font, alignment;
    FillNumberCombo(slot, 0);
    FillSBTimeSliceCombo(slice, 0);
    FillSBTimeoutMinutesCombo(timeout, 0);
    FillSBColorCombo(color, 0);
    FillSBEffectCombo(effect, 0);
    FillSBFontCombo(font, 0);
    FillSBAlignmentCombo(alignment, 0);
    const auto pick = [](OptionList& list, std::string_view text) { list.SetSelectedIndex(FindItemText(list, text)); };
    const auto code = [](const OptionList& l) { return static_cast<std::int16_t>(l.ItemData(l.SelectedIndex())); };
    const auto build = [&](bool clear = false) {
        return BuildSBAttributeCode(code(slot), code(slice), code(timeout), code(color), code(effect), code(font),
                                    code(alignment), clear);
    };
    EXPECT_EQ(build(), "0011000");

    // High codes travel as letters in their places.
    pick(slot, "99");
    pick(color, "Mixed RGB Colors 3");
    pick(effect, "Color Cycle");
    pick(timeout, "60 Minutes");
    EXPECT_EQ(build(), "981NX90");

    // The wide font follows the alignment.
    pick(font, "5 Dots Height, Bold, Wide");
    EXPECT_EQ(build().back(), '9');
    pick(alignment, "Center");
    EXPECT_EQ(build().back(), 'J');
    pick(alignment, "Right");
    EXPECT_EQ(build().back(), 'T');

    // Clearing ignores every attribute.
    EXPECT_EQ(build(true), "*");
}

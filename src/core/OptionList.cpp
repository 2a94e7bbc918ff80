#include "OptionList.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QVariant>

#include "KS_String.h"

void MemoryOptionList::AddItem(std::string_view text)
{
    items_.push_back({std::string(text), 0});
    newIndex_ = static_cast<int>(items_.size()) - 1;
}

void MemoryOptionList::SetItemData(int index, std::int32_t datum)
{
    if (index >= 0 && index < ItemCount())
        items_[static_cast<std::size_t>(index)].datum = datum;
}

std::int32_t MemoryOptionList::ItemData(int index) const
{
    return index >= 0 && index < ItemCount() ? items_[static_cast<std::size_t>(index)].datum : 0;
}

std::string MemoryOptionList::ItemText(int index) const
{
    return index >= 0 && index < ItemCount() ? items_[static_cast<std::size_t>(index)].text : std::string();
}

void MemoryOptionList::SetSelectedIndex(int index)
{
    if (index >= -1 && index < ItemCount())
        selected_ = index;
}

void MemoryOptionList::Clear()
{
    items_.clear();
    selected_ = -1;
    newIndex_ = -1;
}

ComboOptionList::ComboOptionList(QComboBox* combo) : QObject(combo), combo_(combo) {}

void ComboOptionList::AddItem(std::string_view text)
{
    // QComboBox selects the first item added to an empty box; a filler's list
    // must stay unselected until its selection rule says otherwise, and the
    // window's change handlers must not see that passing selection.
    const QSignalBlocker quiet(combo_);
    const int before = combo_->currentIndex();
    combo_->addItem(ToQString(text));
    newIndex_ = combo_->count() - 1;
    if (combo_->currentIndex() != before)
        combo_->setCurrentIndex(before);
}

void ComboOptionList::SetItemData(int index, std::int32_t datum)
{
    if (index >= 0 && index < combo_->count())
        combo_->setItemData(index, QVariant::fromValue<qint32>(datum));
}

std::int32_t ComboOptionList::ItemData(int index) const
{
    if (index < 0 || index >= combo_->count())
        return 0;
    return combo_->itemData(index).value<qint32>();
}

std::string ComboOptionList::ItemText(int index) const
{
    if (index < 0 || index >= combo_->count())
        return {};
    return FromQString(combo_->itemText(index));
}

int ComboOptionList::ItemCount() const { return combo_->count(); }

int ComboOptionList::SelectedIndex() const { return combo_->currentIndex(); }

void ComboOptionList::SetSelectedIndex(int index)
{
    if (index >= -1 && index < combo_->count())
        combo_->setCurrentIndex(index);
}

void ComboOptionList::Clear()
{
    combo_->clear();
    newIndex_ = -1;
}

OptionList& AsOptionList(QComboBox* combo)
{
    if (auto* existing = combo->findChild<ComboOptionList*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new ComboOptionList(combo);
}

int FindItemText(const OptionList& list, std::string_view text)
{
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.ItemText(i) == text)
            return i;
    return -1;
}

void AddItemWithData(OptionList& list, std::string_view text, std::int32_t datum)
{
    list.AddItem(text);
    list.SetItemData(list.NewIndex(), datum);
}

void AppendItems(OptionList& list, std::span<const OptionItem> items)
{
    for (const auto& item : items)
        AddItemWithData(list, item.text, item.datum);
}

void AppendTexts(OptionList& list, std::span<const std::string_view> texts)
{
    for (auto text : texts)
        list.AddItem(text);
}

void AppendAllItem(OptionList& list, bool withAll)
{
    if (withAll)
        AddItemWithData(list, kAllItemText, kAllItemData);
}

void ApplySelection(OptionList& list, std::int16_t selectIndex)
{
    // An index below -1 names neither an item nor "none": it leaves the
    // selection as it was instead of failing the window that fills the list.
    if (selectIndex >= -1 && selectIndex <= list.ItemCount() - 1)
        list.SetSelectedIndex(selectIndex);
}

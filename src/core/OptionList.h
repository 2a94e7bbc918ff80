#pragma once
// The drop-down list as the fillers see it: items appended at the end, a
// 32-bit datum per item, a selection (-1 for none) and the index of the item
// added last. Windows pass their QComboBox through AsOptionList; tests use
// MemoryOptionList.

#include <QObject>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;

class OptionList {
public:
    virtual ~OptionList() = default;

    virtual void AddItem(std::string_view text) = 0;
    virtual void SetItemData(int index, std::int32_t datum) = 0;
    // 0 for an item that never got a datum, as for an index outside the list.
    virtual std::int32_t ItemData(int index) const = 0;
    virtual std::string ItemText(int index) const = 0;
    virtual int ItemCount() const = 0;
    virtual int SelectedIndex() const = 0;
    // -1 clears the selection; any other index outside the list is ignored.
    virtual void SetSelectedIndex(int index) = 0;
    virtual int NewIndex() const = 0;
    virtual void Clear() = 0;
};

// A list kept in memory: for tests, and for code that needs a list's items without a window.
class MemoryOptionList final : public OptionList {
public:
    void AddItem(std::string_view text) override;
    void SetItemData(int index, std::int32_t datum) override;
    std::int32_t ItemData(int index) const override;
    std::string ItemText(int index) const override;
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    int SelectedIndex() const override { return selected_; }
    void SetSelectedIndex(int index) override;
    int NewIndex() const override { return newIndex_; }
    void Clear() override;

private:
    struct Item {
        std::string text;
        std::int32_t datum = 0;
    };
    std::vector<Item> items_;
    int selected_ = -1;
    int newIndex_ = -1;
};

// The adapter over a QComboBox. It lives as a child of its combo box, so the
// index of the item added last survives from one filler call to the next.
class ComboOptionList final : public QObject, public OptionList {
    Q_OBJECT
public:
    explicit ComboOptionList(QComboBox* combo);

    void AddItem(std::string_view text) override;
    void SetItemData(int index, std::int32_t datum) override;
    std::int32_t ItemData(int index) const override;
    std::string ItemText(int index) const override;
    int ItemCount() const override;
    int SelectedIndex() const override;
    void SetSelectedIndex(int index) override;
    int NewIndex() const override { return newIndex_; }
    void Clear() override;

private:
    QComboBox* combo_ = nullptr;
    int newIndex_ = -1;
};

// The one adapter of a combo box, made on first use: FillPagerBaudCombo(AsOptionList(cmbPagerBaud), 0).
OptionList& AsOptionList(QComboBox* combo);

// The index of the first item whose text is exactly the given text, -1 when there is none.
int FindItemText(const OptionList& list, std::string_view text);

// ---- Building blocks of the fillers ---------------------------------------

// One item of a fixed vocabulary and its code.
struct OptionItem {
    std::string_view text;
    std::int32_t datum = 0;
};

// The optional first item of the device and display lists; it stands for no code.
inline constexpr std::string_view kAllItemText = "All";
inline constexpr std::int32_t kAllItemData = -1;

// Appends one item and gives it its datum before anything else is added.
void AddItemWithData(OptionList& list, std::string_view text, std::int32_t datum);
void AppendItems(OptionList& list, std::span<const OptionItem> items);
// Appends texts that carry no datum: the window keeps the text or the position.
void AppendTexts(OptionList& list, std::span<const std::string_view> texts);
void AppendAllItem(OptionList& list, bool withAll);
// The closing step of every filler: selects selectIndex when it is -1 or names an item.
void ApplySelection(OptionList& list, std::int16_t selectIndex);

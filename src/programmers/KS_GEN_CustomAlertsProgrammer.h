#pragma once
// The custom alerts programmer: the device's memory configuration (how many
// equal alert slots its expanded memory holds) and up to fifteen WAV files,
// each checked and then streamed into the slot of its alert number.

#include <array>
#include <optional>
#include <string>

#include "KS_AlertFormat.h"
#include "KS_ProgrammerFrame.h"

class KS_GEN_CustomAlertsProgrammer : public KS_ProgrammerFrame {
    Q_OBJECT

public:
    static constexpr int kRows = 15;

    explicit KS_GEN_CustomAlertsProgrammer(QWidget* owner);

    QLabel* lblMemoryConfiguration = nullptr;
    QComboBox* cmbMemoryConfiguration = nullptr;
    QPushButton* cmdReadMemoryConfiguration = nullptr;
    QPushButton* cmdWriteMemoryConfiguration = nullptr;
    QGroupBox* fraProgrammableOptions = nullptr;
    std::array<QCheckBox*, kRows> chkProgramAlert{};
    std::array<QComboBox*, kRows> cmbAlertNumber{};
    std::array<QLabel*, kRows> lblFileName{};
    std::array<QLineEdit*, kRows> txtFileName{};
    std::array<QPushButton*, kRows> cmdBrowse{};

    void cmdProgram_Click() override;
    void cmdReadMemoryConfiguration_Click() { ReadMemoryConfiguration(); }
    void cmdWriteMemoryConfiguration_Click();
    void cmdBrowse_Click(int row);

    // The memory size the last configuration read reported (0 until one succeeded).
    int MemoryKB() const { return memoryKB_; }

private:
    void Form_Load();
    bool ReadMemoryConfiguration();
    bool WriteMemoryConfiguration(int slotCount);
    // The slot count of the selected configuration (0: none, or not supported).
    int SelectedSlotCount() const;
    bool CheckFiles(int slotCount);
    bool UploadRows(int slotCount, bool sequenced);
    int AlertNumber(int row) const;
    std::string FileName(int row) const;

    int memoryKB_ = 0;
    // Where each ticked row's audio lies, found by the check pass for the upload.
    std::array<std::optional<AlertWaveData>, kRows> waveData_{};
    int firmwareVersion_ = 0; // hundredths
};

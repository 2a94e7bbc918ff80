#pragma once
// The pendant's programmer: up to four capcodes with their messages, the
// pager baud rate and type, and, for service staff, the serial number and the
// radio settings. PDX-01 pendants have three slots, PDX-03 pendants four; old
// firmware speaks a legacy command set. The operator holds a pendant button
// down before every read, program run and reset.

#include <array>

#include "KS_ProgrammerFrame.h"

struct PendantSettings;

class KS_GEN_PendantProgrammer : public KS_ProgrammerFrame {
    Q_OBJECT

public:
    static constexpr int kCapcodeRows = 4; // as many as a PDX-03 has
    // The second hidden combination, for the radio settings; the frame's own
    // opens the serial number and the reset.
    static constexpr int kRadioServiceKey = Qt::Key_F11;

    explicit KS_GEN_PendantProgrammer(QWidget* owner);

    QLabel* lblDevice = nullptr;
    QLineEdit* txtDevice = nullptr;
    QLabel* lblFrequency = nullptr;
    QLineEdit* txtFrequency = nullptr;
    QLabel* lblPower = nullptr;
    QComboBox* cmbPower = nullptr;
    QLabel* lblDeviation = nullptr;
    QComboBox* cmbDeviation = nullptr;
    QGroupBox* fraProgrammableOptions = nullptr;
    QCheckBox* chkProgramBaudType = nullptr;
    QComboBox* cmbBaudRate = nullptr;
    QComboBox* cmbPagerType = nullptr;
    std::array<QCheckBox*, kCapcodeRows> chkProgramCapcode{};
    std::array<QLineEdit*, kCapcodeRows> txtCapcode{};
    std::array<QCheckBox*, kCapcodeRows> chkAutoIncrement{};
    std::array<QLineEdit*, kCapcodeRows> txtIncrement{};
    std::array<QLabel*, kCapcodeRows> lblMessage{};
    std::array<QLineEdit*, kCapcodeRows> txtMessage{};

    void cmdRead_Click() override;
    void cmdProgram_Click() override;
    void cmdReset_Click() override;

    // Whether the radio lists are shut to the operator.
    bool PowerLocked() const { return powerLocked_; }

protected:
    void ServiceUnlocked() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void UnlockRadioFields();
    bool ReadPendant();
    bool ProgramPendant();
    void SwitchToNormalMode() { KS_ProgrammerFrame::SwitchToNormalMode(); }
    void SwitchToNormalModeWhenNeeded();

    // "?V": the version box and the version number (0 when none came); a
    // plain four-character number is shown "0.00" only when asked.
    int ReadVersion(bool showNumber);
    // The slots the model in txtDevice has; the fourth row follows.
    int ApplyRowCount();
    void ShowRadioFields(const PendantSettings& read);
    void ShutRadioFields();
    bool WriteItem(std::string_view text, std::string_view command, std::string_view value, std::int32_t ticks);

    bool powerLocked_ = true;
    bool deviationLocked_ = true;
};

#pragma once
// The paddle's programmer: firmware version, pager type and four capcodes.
// The operator presses the paddle's button before every read, program run
// and reset.

#include <array>

#include "KS_ProgrammerFrame.h"

class KS_GEN_PaddleProgrammer : public KS_ProgrammerFrame {
    Q_OBJECT

public:
    static constexpr int kCapcodeRows = 4;

    explicit KS_GEN_PaddleProgrammer(QWidget* owner);

    QGroupBox* fraProgrammableOptions = nullptr;
    QCheckBox* chkProgramBaudMode = nullptr;
    QComboBox* cmbPagerType = nullptr;
    std::array<QCheckBox*, kCapcodeRows> chkProgramCapcode{};
    std::array<QLineEdit*, kCapcodeRows> txtCapcode{};
    std::array<QCheckBox*, kCapcodeRows> chkAutoIncrement{};
    std::array<QLineEdit*, kCapcodeRows> txtIncrement{};

    void cmdRead_Click() override;
    void cmdProgram_Click() override;
    void cmdReset_Click() override;

private:
    void Form_Load();
    bool ReadPaddle();
    bool ProgramPaddle();
    void SwitchToNormalMode() { KS_ProgrammerFrame::SwitchToNormalMode(); }
    static bool PaddleButtonPressed();
};

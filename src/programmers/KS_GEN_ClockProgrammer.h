#pragma once
// The programmer of wireless clocks and of the receivers that drive them.
// Which settings apply follows from the model and the firmware version the
// device reports, asked again at the start of every program run.

#include "KS_ProgrammerFrame.h"

class KS_GEN_ClockProgrammer : public KS_ProgrammerFrame {
    Q_OBJECT

public:
    explicit KS_GEN_ClockProgrammer(QWidget* owner);

    QLabel* lblDevice = nullptr;
    QLineEdit* txtDevice = nullptr;
    QLabel* lblFrequency = nullptr;
    QLineEdit* txtFrequency = nullptr;
    QLabel* lblRSSI = nullptr;
    QLineEdit* txtRSSI = nullptr;
    QCheckBox* chkRxDeviation = nullptr;
    QComboBox* cmbRxDeviation = nullptr;
    QCheckBox* chkMode = nullptr;
    QComboBox* cmbMode = nullptr;
    QCheckBox* chkCompatibility = nullptr;
    QComboBox* cmbCompatibility = nullptr;

    void cmdRead_Click() override;
    void cmdProgram_Click() override;
    void cmdReset_Click() override;

private:
    void Form_Load();
    bool ReadClock();
    bool ProgramClock();
    // "?VM" and "?V" into txtDevice, txtVersion and the held version.
    void IdentifyClock();
    bool ApplicableToModel(int& maximum);
    bool ProgramStep(std::string_view text, std::int32_t pause, std::string_view command, std::string_view value,
                     std::int32_t ticks, std::int16_t retries);

    int version_ = 0; // in hundredths; 0 when the device gave none
};

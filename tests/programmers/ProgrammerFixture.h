#pragma once
// A programmer window over the main window, with a simulated device on the
// port in place of the encoder the console found at start-up.

#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleHarness.h"
#include "KS_MainForm.h"
#include "SimDevices.h"

template <class Window, class Device>
struct ProgrammerFixture : testing::Test {
    ProgrammerFixture()
    {
        form.OpenOwnedWindow(window, false);
        harness.engine.SetDevice(device);
        harness.HostLines();
    }
    ~ProgrammerFixture() override
    {
        if (window)
            window->close();
    }
    // The device's lines since the last call, bare probes left out.
    std::vector<std::string> Sent() { return harness.HostLines(); }
    std::string Info() const { return window->lblInfo->text().toStdString(); }
    static void Type(QLineEdit* box, const char* text) { box->setText(QString::fromLatin1(text)); }

    ConsoleHarness harness{};
    KS_MainForm& form = harness.Load();
    std::shared_ptr<Device> device = std::make_shared<Device>();
    QPointer<Window> window = new Window(&form);
};

using Lines = std::vector<std::string>;

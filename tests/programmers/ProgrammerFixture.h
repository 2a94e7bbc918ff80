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

    std::shared_ptr<Device> Attach(std::shared_ptr<Device> d)
    {
        harness.engine.SetDevice(d);
        return d;
    }

    ConsoleHarness harness{};
    KS_MainForm& form = harness.Load();
    // On the port before the window loads: some windows talk to the device at once.
    std::shared_ptr<Device> device = Attach(std::make_shared<Device>());
    QPointer<Window> window = new Window(&form);
};

using Lines = std::vector<std::string>;

#pragma once
// The simulator program on its pseudo-terminal, as port COM 1 of the test, in
// a data folder holding the given users. Its transcript is read back as bytes.

#include <QProcess>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "DataFileHelpers.h"
#include "ConsoleHarness.h"

class SimulatorProcess {
public:
    // The unit: an encoder by default, or a device ("--device", "clock").
    explicit SimulatorProcess(const std::vector<TestUser>& users, const QStringList& unit = {"--model", "X"})
        : transcript_(qEnvironmentVariable("XDG_DATA_HOME") + "/transcript")
    {
        process_.start(PAGORA_SIM_PROGRAM, QStringList(unit) << "--transcript" << transcript_);
        started_ = process_.waitForStarted(5000) && process_.waitForReadyRead(5000);
        // The simulator's first line names the terminal it serves.
        qputenv("PAGORA_COM1", process_.readLine().trimmed());
        PrepareConsoleSettings(users);
    }
    ~SimulatorProcess()
    {
        qunsetenv("PAGORA_COM1");
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    bool Started() const { return started_; }
    std::string Transcript() const { return ReadBytes(transcript_.toStdString()); }

private:
    QString transcript_;
    QProcess process_;
    bool started_ = false;
};

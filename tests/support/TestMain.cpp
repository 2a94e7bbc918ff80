// Every test program starts here: no display, no audio, and no test sees the
// settings or data files of the operator or of another test.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "TestSupport.h"

namespace {

class PrivateFolders : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        config_ = std::make_unique<QTemporaryDir>();
        data_ = std::make_unique<QTemporaryDir>();
        runtime_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", data_->path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime_->path().toLocal8Bit());
        ResetProgramStateForTest();
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        ResetProgramStateForTest();
        config_.reset();
        data_.reset();
        runtime_.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<QTemporaryDir> data_;
    std::unique_ptr<QTemporaryDir> runtime_;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Windows that open the voice recorder get ALSA's null device (endless
    // silence): the same on every machine, with or without a sound card.
    qputenv("PAGORA_AUDIO_DEVICE", "null");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new PrivateFolders);
    return RUN_ALL_TESTS();
}

// Every test program starts here: no display, no audio, and no test sees the
// settings or data files of the operator or of another test.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iterator>
#include <memory>

#include "TestSupport.h"

namespace {

constexpr const char* kPrivateHomes[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"};

class PrivateFolders : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        for (std::size_t i = 0; i < std::size(kPrivateHomes); ++i) {
            homes_[i] = std::make_unique<QTemporaryDir>();
            qputenv(kPrivateHomes[i], homes_[i]->path().toLocal8Bit());
        }
        ResetProgramStateForTest();
    }
    void OnTestEnd(const testing::TestInfo&) override
    {
        ResetProgramStateForTest();
        for (auto& home : homes_)
            home.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> homes_[std::size(kPrivateHomes)];
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

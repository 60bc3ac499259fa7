// The end-to-end test program: each test is one scenario; a failed check leaves a picture of the
// screen beside the pictures of failed steps.

#include <gtest/gtest.h>

#include <cstring>

#include "driver/Driver.h"

namespace {

class ScenarioPictures : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& test) override
    {
        e2e::BeginScenario(std::string(test.test_suite_name()) + "." + test.name());
        lastPicture_.clear();
    }
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        // A failed step has saved its picture already and names it.
        if (!result.failed() || std::strstr(result.message(), "\nscreen: ")) return;
        const std::string picture = e2e::SaveFailurePicture("-check");
        if (!picture.empty() && picture != lastPicture_) std::printf("screen: %s\n", picture.c_str());
        lastPicture_ = picture;
    }
    std::string lastPicture_;
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ScenarioPictures);
    return RUN_ALL_TESTS();
}

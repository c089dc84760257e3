// Where the program's windows go: the main window, the About window, message
// boxes and the help window.

#include "desktop_test_support.h"
#include "placement.h"

#include <gtest/gtest.h>
#include <optional>

namespace varnholt {
namespace {

    using testing::caseName;
    using testing::PrintTo;

    struct ScreenCase {
        const char *name;
        Size screen;
        Point topLeft;
    };

    class MainWindowCentred : public ::testing::TestWithParam<ScreenCase> { };

    TEST_P(MainWindowCentred, OnTheScreen)
    {
        EXPECT_EQ(centredOnScreen(GetParam().screen, { 383, 275 }), GetParam().topLeft);
    }

    INSTANTIATE_TEST_SUITE_P(Screens,
        MainWindowCentred,
        ::testing::Values(ScreenCase { "FullHd", { 1920, 1080 }, { 768, 402 } },
            ScreenCase { "Xga", { 1024, 768 }, { 320, 246 } },
            // -83 / 2 is -41: truncated toward zero, not rounded down.
            ScreenCase { "NarrowerThanTheWindow", { 300, 600 }, { -41, 162 } },
            ScreenCase { "LowerThanTheWindow", { 800, 200 }, { 208, -37 } },
            ScreenCase { "ExactlyTheWindow", { 383, 275 }, { 0, 0 } }),
        caseName);

    struct MainFrameCase {
        const char *name;
        Rect mainFrame;
        Point topLeft;
    };

    class AboutWindowCentred : public ::testing::TestWithParam<MainFrameCase> { };

    TEST_P(AboutWindowCentred, OnTheMainWindow)
    {
        EXPECT_EQ(aboutWindowPlace(GetParam().mainFrame, { 400, 286 }), GetParam().topLeft);
    }

    INSTANTIATE_TEST_SUITE_P(MainFrames,
        AboutWindowCentred,
        ::testing::Values(MainFrameCase { "DesignSize", { 100, 100, 383, 275 }, { 92, 95 } },
            MainFrameCase { "NegativesBecomeZero", { 3, 2, 383, 275 }, { 0, 0 } },
            MainFrameCase { "OnlyLeftNegative", { 3, 50, 383, 275 }, { 0, 45 } },
            MainFrameCase { "ResizedMainWindow", { 200, 150, 800, 600 }, { 400, 307 } },
            // -17 / 2 is -8, not -9.
            MainFrameCase { "OddDifference", { 100, 100, 383, 269 }, { 92, 92 } },
            MainFrameCase { "MainWindowOffScreen", { -300, -300, 383, 275 }, { 0, 0 } }),
        caseName);

    struct MessageBoxCase {
        const char *name;
        std::optional<Point> at;
        Rect screen;
        Point topLeft;
    };

    class MessageBoxPlaced : public ::testing::TestWithParam<MessageBoxCase> { };

    TEST_P(MessageBoxPlaced, AtItsPointOrCentred)
    {
        EXPECT_EQ(
            messageBoxPlace(GetParam().at, { 200, 100 }, GetParam().screen), GetParam().topLeft);
    }

    constexpr Rect fullHd { 0, 0, 1920, 1080 };
    constexpr Rect xga { 0, 0, 1024, 768 };

    INSTANTIATE_TEST_SUITE_P(Points,
        MessageBoxPlaced,
        ::testing::Values(MessageBoxCase { "AtThePoint", Point { 175, 165 }, fullHd, { 175, 165 } },
            MessageBoxCase { "ZeroIsApplied", Point { 0, 0 }, fullHd, { 0, 0 } },
            MessageBoxCase { "NegativeLeftCentred", Point { -25, 165 }, fullHd, { 860, 165 } },
            MessageBoxCase { "NegativeTopCentred", Point { 175, -1 }, fullHd, { 175, 490 } },
            MessageBoxCase { "BothNegative", Point { -1, -1 }, fullHd, { 860, 490 } },
            MessageBoxCase { "NoPointCentred", std::nullopt, fullHd, { 860, 490 } },
            MessageBoxCase {
                "ScreenNotAtOrigin", Point { -1, 40 }, { 100, 0, 1000, 800 }, { 500, 40 } }),
        caseName);

    struct HelpWindowCase {
        const char *name;
        Rect mainFrame;
        Size help;
        Rect screen;
        Point topLeft;
    };

    class HelpWindowPlaced : public ::testing::TestWithParam<HelpWindowCase> { };

    TEST_P(HelpWindowPlaced, BesideTheMainWindow)
    {
        const HelpWindowCase &c = GetParam();
        EXPECT_EQ(helpWindowPlace(c.mainFrame, c.help, c.screen), c.topLeft);
    }

    constexpr Rect centredOnFullHd { 768, 402, 383, 275 };

    INSTANTIATE_TEST_SUITE_P(Screens,
        HelpWindowPlaced,
        ::testing::Values(HelpWindowCase { "FullHdRoomOnTheRight", centredOnFullHd, { 742, 581 },
                              fullHd, { 1151, 402 } },
            HelpWindowCase {
                "ExactlyRoomOnTheRight", centredOnFullHd, { 769, 581 }, fullHd, { 1151, 402 } },
            HelpWindowCase { "OnePixelShortOnBothSidesCentred", centredOnFullHd, { 770, 581 },
                fullHd, { 575, 249 } },
            HelpWindowCase {
                "XgaNoRoomCentred", { 320, 246, 383, 275 }, { 742, 581 }, xga, { 141, 93 } },
            HelpWindowCase { "MainWindowAtTheRightEdgeLeftSide", { 1500, 300, 383, 275 },
                { 742, 581 }, fullHd, { 758, 300 } },
            HelpWindowCase { "MainWindowLowMovedUpOntoTheScreen", { 100, 700, 383, 275 },
                { 742, 581 }, fullHd, { 483, 499 } },
            HelpWindowCase { "MainWindowPartlyOffTheLeftEdge", { -200, -40, 383, 275 },
                { 742, 581 }, xga, { 183, 0 } },
            HelpWindowCase { "HelpLargerThanTheScreenAtItsCorner", { 100, 100, 383, 275 },
                { 1000, 700 }, { 0, 0, 800, 600 }, { 0, 0 } },
            HelpWindowCase { "PanelAboveTheAvailableArea", { 320, 246, 383, 275 }, { 742, 581 },
                { 0, 28, 1024, 740 }, { 141, 107 } },
            HelpWindowCase { "SecondScreenToTheRight", { 2000, 100, 383, 275 }, { 742, 581 },
                { 1920, 0, 1280, 1024 }, { 2383, 100 } }),
        caseName);

} // namespace
} // namespace varnholt

// The main window's menu, read in the program's own process: another process
// cannot read a window's menu under Wine.

#include "Unit1.h"
#include "wide_text.h"

#include <gtest/gtest.h>
#include <string>

namespace varnholt::windows_app {
namespace {

    struct MenuItem {
        std::string caption;
        unsigned id; ///< 0 for a drop-down or a separator
        bool dropDown;
        bool separator;
    };

    MenuItem itemOf(HMENU menu, int position)
    {
        wchar_t text[64] {};
        MENUITEMINFOW info {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 64;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        // The system shows a separator greyed; every other item is enabled and unchecked.
        if (!(info.fType & MFT_SEPARATOR)) {
            EXPECT_EQ(info.fState & (MFS_DISABLED | MFS_CHECKED), 0U) << utf8Text(text);
        }
        return { utf8Text(text), info.hSubMenu ? 0U : info.wID, info.hSubMenu != nullptr,
            (info.fType & MFT_SEPARATOR) != 0 };
    }

    TEST(MainWindowMenu, CaptionsWithTheirBlanksAndTheCommandsTheySend)
    {
        const TMainForm form(::GetModuleHandleW(nullptr));
        HMENU bar = ::GetMenu(form.handle());
        ASSERT_EQ(::GetMenuItemCount(bar), 3);
        const MenuItem file = itemOf(bar, 0);
        EXPECT_EQ(file.caption, "File" + std::string(16, ' '));
        EXPECT_TRUE(file.dropDown);
        const MenuItem help = itemOf(bar, 1);
        EXPECT_EQ(help.caption, "Help" + std::string(17, ' '));
        EXPECT_FALSE(help.dropDown);
        EXPECT_EQ(help.id, Help1);
        const MenuItem about = itemOf(bar, 2);
        EXPECT_EQ(about.caption, "About");
        EXPECT_FALSE(about.dropDown);
        EXPECT_EQ(about.id, About);

        HMENU drop = ::GetSubMenu(bar, 0);
        ASSERT_EQ(::GetMenuItemCount(drop), 5);
        EXPECT_EQ(itemOf(drop, 0).caption, "Load CSV file");
        EXPECT_EQ(itemOf(drop, 0).id, LoadCSVfile1);
        EXPECT_EQ(itemOf(drop, 1).caption, "Load and Renumber");
        EXPECT_EQ(itemOf(drop, 1).id, Renumber);
        EXPECT_EQ(itemOf(drop, 2).caption, "Load with Five-Digit Numbers");
        EXPECT_EQ(itemOf(drop, 2).id, FiveDigit);
        EXPECT_TRUE(itemOf(drop, 3).separator);
        EXPECT_EQ(itemOf(drop, 4).caption, "Close");
        EXPECT_EQ(itemOf(drop, 4).id, Close1);
    }

} // namespace
} // namespace varnholt::windows_app

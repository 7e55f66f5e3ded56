// What screen readers read of the main window: every control, list and
// status field has a name, in folders mode, in search mode and in every
// view style.
#include <QTest>

#include "ArdvelFormFixture.h"

namespace ardvel::gui {
namespace {

using test::UnnamedControls;

struct WindowAccessibilityTest : test::ArdvelFormFixture {};

TEST_F(WindowAccessibilityTest, EveryControlListAndStatusFieldHasAName)
{
    WriteStandardCatalogs();
    Start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    Click("Music 2002:\\");
    EXPECT_EQ(UnnamedControls(*form), std::vector<std::string>{}) << "folders mode";
    W().ListView->SetStyle(kSmallIcons);
    EXPECT_EQ(UnnamedControls(*form), std::vector<std::string>{}) << "small icons";
    W().SBut->trigger();
    EXPECT_EQ(UnnamedControls(*form), std::vector<std::string>{}) << "search mode";
}

}  // namespace
}  // namespace ardvel::gui

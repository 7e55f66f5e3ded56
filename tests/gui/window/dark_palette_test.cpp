// With a dark desktop palette every text of the window, of the search panel
// and of the About box stays readable: colours come from the palette, not
// from fixed values picked for a light one.
#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QRegularExpression>

#include "ArdvelFormFixture.h"
#include "PaletteSupport.h"
#include "cataloguing/SelDirForm.h"
#include "help/AboutBox.h"

namespace ardvel::gui {
namespace {

using test::ApplicationPalette;
using test::ArdvelFormFixture;
using test::Contrast;
using test::DarkPalette;

/// A style sheet that fixes a colour instead of leaving it to the palette.
bool FixesAColour(const QString& styleSheet)
{
    static const QRegularExpression colour(QStringLiteral("(^|[;{\\s])(color|background(-color)?)\\s*:"));
    return colour.match(styleSheet).hasMatch();
}

/// Checks every label and button below `top`: text colour against the
/// colour behind it, and no style sheet colour.
void ExpectReadable(QWidget& top, const char* where)
{
    std::vector<QWidget*> widgets;
    for (QLabel* label : top.findChildren<QLabel*>()) widgets.push_back(label);
    for (QAbstractButton* button : top.findChildren<QAbstractButton*>()) widgets.push_back(button);
    ASSERT_FALSE(widgets.empty()) << where;
    for (QWidget* widget : widgets) {
        const QString name = widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName();
        EXPECT_FALSE(FixesAColour(widget->styleSheet()))
            << where << ": " << name.toStdString() << " has " << widget->styleSheet().toStdString();
        // Greyed-out controls are meant to recede; only their style sheet
        // matters.
        if (!widget->isEnabled()) continue;
        const QPalette& p = widget->palette();
        const QColor text = p.color(widget->foregroundRole());
        const QColor back = p.color(widget->backgroundRole());
        EXPECT_GE(Contrast(text, back), 4.5) << where << ": " << name.toStdString() << " " << text.name().toStdString()
                                             << " on " << back.name().toStdString();
    }
}

struct DarkPaletteTest : ArdvelFormFixture {
    ApplicationPalette dark{DarkPalette()};
    test::TempDir work;

    /// With ARDVEL_SCREENSHOT_DIR set, keeps a picture of `widget` there for
    /// a person to look at.
    static void KeepPicture(QWidget& widget, const char* name)
    {
        const QByteArray folder = qgetenv("ARDVEL_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        widget.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QLatin1String(name));
    }
};

TEST_F(DarkPaletteTest, WindowAndSearchPanelTextsStayReadable)
{
    WriteStandardCatalogs();
    Start();
    form->show();
    form->resize(900, 560);
    Click("Music 2002:\\Rock\\");
    ExpectReadable(*form, "folders mode");
    KeepPicture(*form, "dark-folders.png");
    W().SBut->trigger();
    ExpectReadable(*form, "search mode");
    KeepPicture(*form, "dark-search.png");
}

TEST_F(DarkPaletteTest, CataloguingDialogTextsStayReadable)
{
    Start();
    CatalogRunOptions options;
    options.CdRom.MountTable = work.File("no-mounts");
    TSelDirForm dialog(*form, dialogs, test::English(), options);
    ExpectReadable(dialog, "cataloguing");
    KeepPicture(dialog, "dark-cataloguing.png");
}

TEST_F(DarkPaletteTest, AboutBoxTextsStayReadable)
{
    Start();
    bool shown = false;
    dialogs.OnDialog = [&](QDialog& dialog) {
        shown = true;
        ExpectReadable(dialog, "About");
        auto* box = qobject_cast<TAboutBox*>(&dialog);
        ASSERT_NE(box, nullptr);
        // The product name and the address keep their own look: not the
        // plain text colour.
        const QPalette& p = box->palette();
        EXPECT_NE(box->ProductName()->palette().color(box->ProductName()->foregroundRole()),
                  p.color(QPalette::WindowText));
        EXPECT_NE(box->ContactLabel()->palette().color(box->ContactLabel()->foregroundRole()),
                  p.color(QPalette::WindowText));
    };
    W().About1->trigger();
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace ardvel::gui

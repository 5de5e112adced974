// Icons made on first use: nothing is looked up until an icon is drawn or asked about, and then
// the picture is the base style's own.
#include "controls/lazyicon.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

#include <memory>

namespace {

// The base style, counting the standard icons it is asked for.
class CountingStyle : public QProxyStyle
{
public:
    CountingStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    { }
    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        ++calls;
        return QProxyStyle::standardIcon(which, option, widget);
    }
    mutable int calls = 0;
};

QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(QSize(16, 16)).toImage();
}

struct Fixture
{
    CountingStyle *base = new CountingStyle;
    std::unique_ptr<zarel::LazyIconStyle> lazy = std::make_unique<zarel::LazyIconStyle>(base);
    std::unique_ptr<QStyle> reference { QStyleFactory::create(QStringLiteral("Fusion")) };
};

} // namespace

TEST(LazyIconStyle, MakesEachStandardIconOnFirstUseAsTheBaseStyleDraws)
{
    const QStyle::StandardPixmap icons[] = {
        QStyle::SP_DialogSaveButton,  QStyle::SP_TrashIcon,
        QStyle::SP_MediaPlay,         QStyle::SP_ToolBarHorizontalExtensionButton,
        QStyle::SP_MessageBoxWarning,
    };
    Fixture f;
    for (const QStyle::StandardPixmap which : icons) {
        SCOPED_TRACE(static_cast<int>(which));
        const int before = f.base->calls;
        const QIcon icon = f.lazy->standardIcon(which);
        EXPECT_EQ(f.base->calls, before) << "looked up before it was used";
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(imageOf(icon), imageOf(f.reference->standardIcon(which)));
        EXPECT_EQ(f.base->calls, before + 1);
        imageOf(icon);
        EXPECT_EQ(f.base->calls, before + 1) << "looked up twice";
    }
}

TEST(LazyIconStyle, IconForAGivenDrawingIsMadeAtOnceAndAGoneWidgetIsNoHarm)
{
    Fixture f;
    QStyleOption option;
    f.lazy->standardIcon(QStyle::SP_MediaPlay, &option);
    EXPECT_EQ(f.base->calls, 1);

    auto button = std::make_unique<QPushButton>();
    const QIcon icon = f.lazy->standardIcon(QStyle::SP_DialogOpenButton, nullptr, button.get());
    button.reset();
    EXPECT_EQ(imageOf(icon), imageOf(f.reference->standardIcon(QStyle::SP_DialogOpenButton)));

    // The icon outlives its style: it stays empty rather than reaching a deleted style.
    const QIcon orphan = f.lazy->standardIcon(QStyle::SP_TrashIcon);
    f.lazy.reset();
    EXPECT_TRUE(orphan.pixmap(QSize(16, 16)).isNull());
}

TEST(LazyIconStyle, AMenuBarBuiltUnderItLooksNothingUp)
{
    auto *base = new CountingStyle;
    QApplication::setStyle(new zarel::LazyIconStyle(base));
    QMenuBar bar;
    bar.addMenu(QStringLiteral("File"));
    EXPECT_EQ(base->calls, 0);
}

TEST(IconOnFirstUse, CountsAsNotNullAndMakesItsIconOnce)
{
    int made = 0;
    const QIcon icon = zarel::iconOnFirstUse([&made] {
        ++made;
        QPixmap red(8, 8);
        red.fill(Qt::red);
        return QIcon(red);
    });
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(made, 0);
    EXPECT_EQ(icon.pixmap(QSize(8, 8)).toImage().pixel(4, 4), QColor(Qt::red).rgb());
    icon.availableSizes();
    EXPECT_EQ(made, 1);
}

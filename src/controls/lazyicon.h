// Icons made when they are first drawn, so that building a window does not wait for pictures
// that only its first paint needs.
#pragma once

#include <QIcon>
#include <QProxyStyle>

#include <functional>

namespace zarel {

// An icon made by `make` when it is first drawn or asked about (sizes, pixmaps, its name).
// Until then it counts as not null, so that buttons lay out as they do with the icon itself.
QIcon iconOnFirstUse(std::function<QIcon()> make);

// The application's style with its standard icons made on first use. Looking up the first one
// reads the icon theme's index and loads Qt's image-format plugins, milliseconds that a window
// built before the event loop runs (the menu bar's extension button asks for its icon when it
// is made) would otherwise spend before it shows. Everything else is the base style's own.
class LazyIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // Wraps `base` (owned), or the default style when it is null.
    explicit LazyIconStyle(QStyle *base = nullptr);

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace zarel

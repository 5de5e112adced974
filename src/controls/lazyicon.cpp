#include "controls/lazyicon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

namespace zarel {

namespace {

class IconOnFirstUse final : public QIconEngine
{
public:
    explicit IconOnFirstUse(std::function<QIcon()> make)
        : m_make(std::move(make))
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return false; }
    QString key() const override { return u"IconOnFirstUse"_s; }
    QIconEngine *clone() const override { return new IconOnFirstUse(*this); }

private:
    const QIcon &icon()
    {
        if (m_make) {
            m_icon = m_make();
            m_make = nullptr;
        }
        return m_icon;
    }

    std::function<QIcon()> m_make;
    QIcon m_icon;
};

} // namespace

QIcon iconOnFirstUse(std::function<QIcon()> make)
{
    return QIcon(new IconOnFirstUse(std::move(make)));
}

LazyIconStyle::LazyIconStyle(QStyle *base)
    : QProxyStyle(base)
{ }

QIcon LazyIconStyle::standardIcon(StandardPixmap which, const QStyleOption *option,
                                  const QWidget *widget) const
{
    // An option describes one drawing at hand: that icon is wanted now.
    if (option != nullptr)
        return QProxyStyle::standardIcon(which, option, widget);
    // The widget may be gone by the first paint; the style then answers without it.
    return iconOnFirstUse([style = QPointer<const LazyIconStyle>(this),
                           owner = QPointer<const QWidget>(widget), which] {
        return style ? style->baseStyle()->standardIcon(which, nullptr, owner.data()) : QIcon();
    });
}

} // namespace zarel

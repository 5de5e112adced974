// rtf::Document <-> QTextDocument.
#include "controls/rtfqt.h"

#include "rtf/rtfreader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace zarel {

namespace {

Qt::Alignment toQt(rtf::Alignment a)
{
    switch (a) {
    case rtf::Alignment::Center:
        return Qt::AlignHCenter;
    case rtf::Alignment::Right:
        return Qt::AlignRight;
    case rtf::Alignment::Justify:
        return Qt::AlignJustify;
    case rtf::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

rtf::Alignment fromQt(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return rtf::Alignment::Center;
    if (a & Qt::AlignRight)
        return rtf::Alignment::Right;
    if (a & Qt::AlignJustify)
        return rtf::Alignment::Justify;
    return rtf::Alignment::Left;
}

QTextCharFormat toQt(const rtf::CharFormat &f, const QFont &baseFont)
{
    QTextCharFormat format;
    if (!f.fontName.empty())
        format.setFontFamilies({ QString::fromStdString(f.fontName) });
    else
        format.setFontFamilies(baseFont.families());
    // Sizes are capped so a damaged article cannot ask for an absurd font.
    const double points = std::clamp(f.halfPoints, 2, 400) / 2.0;
    format.setFontPointSize(points);
    format.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(f.italic);
    format.setFontUnderline(f.underline);
    if (f.hasColor)
        format.setForeground(QColor::fromRgb(f.color));
    return format;
}

} // namespace

void fillTextDocument(QTextDocument *target, const rtf::Document &doc, const QFont &baseFont)
{
    // Runs in the document's default font carry no name; they take that font, or `baseFont`.
    QFont defaultFont = baseFont;
    if (!doc.defaultFontName.empty())
        defaultFont.setFamilies({ QString::fromStdString(doc.defaultFontName) });
    target->clear();
    QTextCursor cursor(target);
    cursor.beginEditBlock();
    bool first = true;
    for (const rtf::Paragraph &p : doc.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(toQt(p.alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const rtf::Run &run : p.runs) {
            QString text
                = QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size()));
            text.replace(QLatin1Char('\n'), QChar::LineSeparator);
            cursor.insertText(text, toQt(run.format, defaultFont));
        }
    }
    cursor.endEditBlock();
}

void loadArticle(QTextDocument *target, const QByteArray &bytes, const QFont &baseFont)
{
    const rtf::Document doc
        = rtf::parse(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    fillTextDocument(target, doc, baseFont);
}

rtf::Document toRtfDocument(const QTextDocument *source)
{
    rtf::Document doc;
    for (QTextBlock block = source->begin(); block.isValid(); block = block.next()) {
        rtf::Paragraph p;
        p.alignment = fromQt(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat cf = fragment.charFormat();
            rtf::Run run;
            QString text = fragment.text();
            text.replace(QChar::LineSeparator, QLatin1Char('\n'));
            run.text = text.toStdString();
            const QFont font = cf.font();
            const QStringList families = cf.fontFamilies().toStringList();
            run.format.fontName
                = (families.isEmpty() ? font.family() : families.first()).toStdString();
            const double points = cf.fontPointSize() > 0 ? cf.fontPointSize() : font.pointSizeF();
            run.format.halfPoints = points > 0 ? static_cast<int>(std::lround(points * 2)) : 24;
            run.format.bold = cf.fontWeight() >= QFont::DemiBold;
            run.format.italic = cf.fontItalic();
            run.format.underline = cf.fontUnderline();
            if (cf.hasProperty(QTextFormat::ForegroundBrush)) {
                run.format.hasColor = true;
                run.format.color = cf.foreground().color().rgb() & 0xFFFFFF;
            }
            if (!p.runs.empty() && p.runs.back().format == run.format)
                p.runs.back().text += run.text;
            else
                p.runs.push_back(std::move(run));
        }
        doc.paragraphs.push_back(std::move(p));
    }
    return doc;
}

} // namespace zarel

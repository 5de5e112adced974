// Conversion between rtf::Document and QTextDocument: articles shown in the rich-text panes,
// and text edited in the add-word dialog written back as RTF.
#pragma once

#include "rtf/rtfdocument.h"

#include <QByteArray>
#include <QFont>

class QTextDocument;

namespace zarel {

// Fills `target` with `doc`: fonts, point sizes from \fs, colours, bold, italic, underline,
// alignment and paragraph breaks. `baseFont` is used where the document names no font.
void fillTextDocument(QTextDocument *target, const rtf::Document &doc, const QFont &baseFont);

// Loads article bytes into `target`: RTF when they begin with "{\rtf", otherwise plain
// code-page-1254 text.
void loadArticle(QTextDocument *target, const QByteArray &bytes, const QFont &baseFont);

// The styled text of `source` as an rtf::Document (font family, size, bold, italic, underline,
// colour, alignment per paragraph).
rtf::Document toRtfDocument(const QTextDocument *source);

} // namespace zarel

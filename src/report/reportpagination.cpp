#include "reportpagination.h"
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <cmath>

namespace {
int pageOf(qreal y, qreal pageHeight) { return int(std::floor(y / pageHeight)); }

// The block that goes to the next page so that the first table crossing a page break, though
// it would fit on one page, no longer does: its heading, else the block just above it. Invalid
// when no table crosses a break.
QTextBlock blockToMove(QTextDocument &document)
{
    const qreal page = document.pageSize().height();
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    QTextBlock above;
    for (QTextFrame::iterator it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (it.currentBlock().isValid()) {
            above = it.currentBlock();
            continue;
        }
        const QRectF box = layout->frameBoundingRect(it.currentFrame());
        if (box.height() < page && pageOf(box.top(), page) != pageOf(box.bottom() - 1, page) && above.isValid())
            return above;
    }
    return QTextBlock();
}
}  // namespace

void keepTablesWhole(QTextDocument &document)
{
    if (document.pageSize().height() <= 0)
        return;
    // Each pass moves one table; moving it can only push the later ones down.
    for (int pass = 0; pass < 64; ++pass) {
        const QTextBlock block = blockToMove(document);
        if (!block.isValid() || block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            return;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
    }
}
